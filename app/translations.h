#pragma once

namespace lambreya {

// Qt's own dialogs and messages in Russian, whatever the system's language: the program
// speaks Russian throughout.
void loadRussianTranslations();

} // namespace lambreya
