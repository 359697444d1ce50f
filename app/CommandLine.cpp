#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "KestrumVersion.h"

namespace kestrum {

void DescribeApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("Kestrum"));
  QCoreApplication::setOrganizationName(QStringLiteral("Brasswick"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kKestrumVersion));
}

void AnswerCommandLine(int argc, char** argv) {
  if (argc < 2) return;
  const QCoreApplication app(argc, argv);
  DescribeApplication();

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Raid lock-out timers for every DDO character at a glance."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  // Unknown options are not an error here: they may be Qt's own.
  parser.parse(QCoreApplication::arguments());
  // Both print and end the process with status 0.
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) parser.showHelp(0);
  if (parser.isSet(version)) parser.showVersion();
}

}  // namespace kestrum
