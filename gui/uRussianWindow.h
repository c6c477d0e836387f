#pragma once
// The window speaks Russian throughout: Qt's own texts (standard buttons,
// file dialogs, context menus) from Qt's Russian translation, and Russian
// as the default locale of every widget.

class QCoreApplication;

namespace orbis {

// Installs Qt's Russian translation into the application and makes Russian
// the default locale. False when the translation is not installed (the
// Debian package qt6-translations-l10n): Qt's texts then stay English.
bool installRussianWindow(QCoreApplication& app);

}  // namespace orbis
