#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's command line: --help, --version and -developer. It is read
// before the single-instance guard and before any window system is needed,
// so --help and --version work on a machine without a display.
class CommandLine
{
  Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
  enum Action { Run, ShowHelp, ShowVersion, Refuse };

  CommandLine();

  // `arguments` as given to main, the program's own path first.
  Action parse(const QStringList &arguments);

  // Whether "-developer" (or, as the help spells it, "--developer") was given.
  bool developerMode() const { return m_parser.isSet(QStringLiteral("developer")); }
  // Why the arguments were refused, after parse() returned Refuse.
  QString errorText() const { return m_error; }
  QString helpText() const { return m_parser.helpText(); }
  // The application's name and version, one line.
  static QString versionText();

  // Exit code of a refused command line, as for any misused command.
  static constexpr int UsageExitCode = 2;

private:
  QCommandLineParser m_parser;
  QString m_error;
};

#endif // COMMANDLINE_H
