#include "appglobals.h"

const QStringList languages = {QStringLiteral("English"), QStringLiteral("Українська")};
const QStringList languages_small = {QStringLiteral("en"), QStringLiteral("uk")};

bool g_developerMode = false;

bool developerModeRequested(const QStringList &args)
{
  return args.contains(QStringLiteral("-developer"), Qt::CaseSensitive);
}
