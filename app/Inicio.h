#pragma once

int runConsole(int argc, char** argv);
