#pragma once

#include "app/ConsoleSettings.h"

#include <QTranslator>

#include <memory>

// Puts the console's texts in the language given, for every window made after it. Spanish is the
// program's own text and needs nothing; English comes from the translation built into the
// program. The translator returned must outlive the windows; nothing for Spanish.
std::unique_ptr<QTranslator> installTranslator(settings::Language language);
