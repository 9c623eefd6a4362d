#pragma once
// The start-up sequence of the program: identity, translations, the single
// instance check, the style sheet, the launcher and the guarded event loop.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class GuardedApplication;
class QTranslator;

namespace Startup {

extern const char *const kOrganizationName;
extern const char *const kApplicationName;
extern const char *const kApplicationVersion;

// Sets organisation, name and version; this also fixes where settings live.
void setIdentity();

// "Tarvelin Dodare RUD": the shared-memory key that keeps a second copy out.
QString instanceKey();

// Loads "qt_es", "TarvelinStressECG_es" and "report_es" from `folder`, in that
// order, installing each one found. Returns the installed translators (they
// must live as long as the application).
std::vector<std::unique_ptr<QTranslator>> installTranslations(const QString &folder);

// Installs the catalogues TranslationChoice picks for this program and the
// desktop's locale, each one that loads.
std::vector<std::unique_ptr<QTranslator>> installChosenTranslations();

// The dark style sheet resource as text (empty when unreadable).
QString styleSheet();

// What start-up needs from the outside world; tests replace the boxes.
struct Services {
    std::function<void(const QString &title, const QString &text)> information;
    std::function<void(const QString &title, const QString &text)> critical;
    std::function<std::unique_ptr<QWidget>()> createLauncher;
};
Services defaultServices();

// Steps after the application object exists. Returns the event loop's code,
// or 0 after a second instance was refused or an error was shown.
int run(GuardedApplication &app, const QString &instanceKey, const Services &services);

// The whole program: creates the application object and runs the above.
int main(int argc, char **argv);

}  // namespace Startup
