#include "app/Inicio.h"

#include "platform/Application.h"

int runConsole(int argc, char** argv) {
    platform::Application app(argc, argv);
    return 0;
}
