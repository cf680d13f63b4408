#include "commandline.h"

namespace {

// The toolkit's own options, which the application object takes out of the
// argument list later on: accepted here, hidden from the help.
struct ToolkitOption
{
  const char *name;
  bool takesValue;
};
constexpr ToolkitOption toolkitOptions[] = {
  {"platform", true},   {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
  {"qwindowgeometry", true}, {"qwindowicon", true},   {"qwindowtitle", true},  {"session", true},
  {"display", true},    {"geometry", true},           {"name", true},          {"title", true},
  {"visual", true},     {"style", true},              {"stylesheet", true},    {"qmljsdebugger", true},
  {"reverse", false},   {"widgetcount", false},       {"nograb", false},       {"dograb", false},
  {"sync", false},      {"testability", false},
};

} // namespace

CommandLine::CommandLine()
{
  // "-developer" has always been written with one hyphen.
  m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  m_parser.setApplicationDescription(
    tr("Data logger for the TOVRI USB current/voltage logger and the Kelvaro Power V1/V2 bench supplies."));
  // Not addHelpOption(): its --help-all promises the toolkit's options,
  // which this help does not list.
  m_parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        tr("Displays help on commandline options.")));
  m_parser.addVersionOption();
  m_parser.addOption(QCommandLineOption(QStringLiteral("developer"), tr("Developer mode (has no further effect).")));
  for (const ToolkitOption &t : toolkitOptions) {
    QCommandLineOption option(QString::fromLatin1(t.name));
    if (t.takesValue)
      option.setValueName(QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    m_parser.addOption(option);
  }
}

CommandLine::Action CommandLine::parse(const QStringList &arguments)
{
  m_error.clear();
  if (!m_parser.parse(arguments)) {
    m_error = m_parser.errorText();
    return Refuse;
  }
  // The program opens no files named on its command line.
  const QStringList extra = m_parser.positionalArguments();
  if (!extra.isEmpty()) {
    m_error = tr("Unexpected argument '%1'.").arg(extra.first());
    return Refuse;
  }
  if (m_parser.isSet(QStringLiteral("help")))
    return ShowHelp;
  if (m_parser.isSet(QStringLiteral("version")))
    return ShowVersion;
  return Run;
}

QString CommandLine::versionText()
{
  return QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
}
