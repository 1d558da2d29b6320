#include "app/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace morvane {

bool installQtTranslation()
{
    // The program speaks Chinese whatever the desktop's language.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace morvane
