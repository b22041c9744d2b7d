// Translations of the null platform: no catalogs, every text is its own
// translation, so tests and tools see the texts as the program writes them.
#include "platform/Platform.h"

int StartTranslations(const char*) { return 0; }

void StopTranslations() {}

int TranslationsOn() { return 0; }

const char* Translate(const char* text) { return text; }

const char* TranslateIn(const char*, const char* text) { return text; }
