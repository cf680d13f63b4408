#include "appglobals.h"

#include <QLoggingCategory>

const QStringList languages = {QStringLiteral("English"), QStringLiteral("Українська")};
const QStringList languages_small = {QStringLiteral("en"), QStringLiteral("uk")};

bool g_developerMode = false;

void muteDebugLines()
{
  // Rules set here rank below the environment's, so a user can still ask
  // for the debug lines.
  QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
}
