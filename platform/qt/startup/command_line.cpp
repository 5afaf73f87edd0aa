#include "platform/qt/startup/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <filesystem>

#include "platform/app_identity.h"
#include "platform/qt/startup/startup_messages.h"

namespace wavorin {

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    QT_TRANSLATE_NOOP("wavorin::StartupMessages", "Usage: wavorin [options] [FILE]");
const char* const kSummary = QT_TRANSLATE_NOOP(
    "wavorin::StartupMessages",
    "Plays wave files in a small window shaped like a jukebox. With FILE, plays that\n"
    "file at start, as if it had been chosen with Open and Play had been pressed.");
const char* const kOptions = QT_TRANSLATE_NOOP("wavorin::StartupMessages",
                                               "Options:\n"
                                               "  -h, --help     Show this help and exit.\n"
                                               "  -v, --version  Show the version and exit.");
const char* const kUnknownOption =
    QT_TRANSLATE_NOOP("wavorin::StartupMessages", "wavorin: unknown option '%1'");
const char* const kTooManyFiles =
    QT_TRANSLATE_NOOP("wavorin::StartupMessages", "wavorin: only one FILE can be played");

std::string local(const QString& text) { return text.toLocal8Bit().toStdString(); }

QStringList arguments_of(int argc, const char* const* argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QFile::decodeName(argv[i]);
  return arguments;
}

// The bytes the file was named by: Qt decodes a name that is not valid in
// the locale's encoding lossily, and that text would name no file.
QByteArray bytes_of(const QString& argument, int argc, const char* const* argv) {
  for (int i = argc - 1; i > 0; --i)
    if (QFile::decodeName(argv[i]) == argument) return argv[i];
  return QFile::encodeName(argument);
}

// Made absolute byte for byte: Latin-1 maps each byte to one character and
// back, so cleaning the path as text changes only separators and dots.
std::string absolute_name(const QByteArray& name) {
  QByteArray path = name;
  if (!path.startsWith('/'))
    path = QByteArray(std::filesystem::current_path().c_str()) + '/' + path;
  return QDir::cleanPath(QString::fromLatin1(path)).toLatin1().toStdString();
}

}  // namespace

CommandLine::CommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  const StartupMessages messages;
  const QString usage = messages.text(kUsage);
  QCommandLineParser parser;
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
  parser.addOption(help);
  parser.addOption(version);

  if (!parser.parse(arguments_of(argc, argv))) {
    const QStringList unknown = parser.unknownOptionNames();
    const QString name = unknown.isEmpty() ? parser.errorText() : unknown.constFirst();
    err << local(messages.text(kUnknownOption).arg(name)) << '\n' << local(usage) << '\n';
    exit_status_ = kUsageError;
    return;
  }
  if (parser.isSet(help)) {
    out << local(usage) << "\n\n"
        << local(messages.text(kSummary)) << "\n\n"
        << local(messages.text(kOptions)) << '\n';
    exit_status_ = 0;
    return;
  }
  if (parser.isSet(version)) {
    out << "wavorin " << kVersion << '\n';
    exit_status_ = 0;
    return;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    err << local(messages.text(kTooManyFiles)) << '\n' << local(usage) << '\n';
    exit_status_ = kUsageError;
    return;
  }
  // Made absolute here: the dialog's folder follows the file, and a relative
  // name would mean nothing to it.
  if (!files.isEmpty()) file_ = absolute_name(bytes_of(files.constFirst(), argc, argv));
}

}  // namespace wavorin
