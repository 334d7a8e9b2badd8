// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/commandline.h"

#include <QCommandLineParser>

namespace platform {

CommandLine parseCommandLine(const QStringList &arguments, const QString &version)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Moviary, a catalogue of your DVD collection."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Shows the version and ends."));
    const QCommandLineOption catalogue({QStringLiteral("c"), QStringLiteral("catalogue")},
                                       QStringLiteral("Opens the catalogue file PATH."), QStringLiteral("PATH"));
    parser.addOptions({help, showVersion, catalogue});

    CommandLine result;
    auto fail = [&](const QString &why) {
        result.finished = true;
        result.exitCode = 2;
        result.output = QStringLiteral("moviary: ") + why + QStringLiteral("\nTry 'moviary --help'.\n");
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.values(catalogue).size() > 1)
        return fail(QStringLiteral("--catalogue is given more than once."));

    if (parser.isSet(help)) {
        result.finished = true;
        // The usage line names the program, whatever the file it was started from.
        QString text = parser.helpText();
        const int lineEnd = text.indexOf(QLatin1Char('\n'));
        result.output = QStringLiteral("Usage: moviary [options]") + text.mid(lineEnd);
        return result;
    }
    if (parser.isSet(showVersion)) {
        result.finished = true;
        result.output = QStringLiteral("moviary %1\n").arg(version);
        return result;
    }
    result.catalogue = parser.value(catalogue);
    if (parser.isSet(catalogue) && result.catalogue.isEmpty())
        return fail(QStringLiteral("--catalogue needs the path of a catalogue file."));
    return result;
}

} // namespace platform
