// Qt's own words (the file dialogs, the edit fields' menus) in the desktop's
// language; the bar's own texts are Japanese in every language.
#pragma once

class QLocale;

namespace kestro {

// Loads Qt's translations for `locale` into the application; false when the
// system has none for it (Qt then speaks English).
bool installQtTranslations(const QLocale& locale);

}  // namespace kestro
