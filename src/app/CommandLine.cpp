#include "CommandLine.h"

#include <algorithm>

namespace {

constexpr int FirstSlot = 1;
constexpr int LastSlot = 10;

struct Option
{
    const char *name;
    CommandLineRequest::Kind kind;
    bool takesSlot;
};

const Option Options[] = {
    {"--copy", CommandLineRequest::Copy, true},  {"--capture", CommandLineRequest::Capture, true},
    {"--show", CommandLineRequest::Show, false}, {"--help", CommandLineRequest::Help, false},
    {"-h", CommandLineRequest::Help, false},     {"--version", CommandLineRequest::Version, false},
};

CommandLineRequest invalid(const QString &error)
{
    return {CommandLineRequest::Invalid, 0, error};
}

// Plain decimal digits only: "+3", " 3" and "3.0" are no slot numbers.
int slotNumber(const QString &word)
{
    const bool digits = !word.isEmpty() && word.size() <= 9 &&
                        std::all_of(word.begin(), word.end(), [](QChar c) { return c >= '0' && c <= '9'; });
    const int number = digits ? word.toInt() : 0;
    return number >= FirstSlot && number <= LastSlot ? number : 0;
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    if (arguments.join(QLatin1Char(' ')).endsWith(QLatin1String("vmd"))) {
        return {};
    }
    if (arguments.isEmpty() || !(arguments.first().startsWith(QLatin1String("--")) || arguments.first() == "-h")) {
        return {};
    }
    QString name = arguments.first();
    QStringList rest = arguments.mid(1);
    // "--copy=3" is "--copy 3".
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals > 0) {
        rest.prepend(name.mid(equals + 1));
        name.truncate(equals);
    }
    const auto option = std::find_if(std::begin(Options), std::end(Options),
                                     [&name](const Option &o) { return name == QLatin1String(o.name); });
    if (option == std::end(Options)) {
        return invalid(QStringLiteral("unknown option '%1'").arg(name));
    }
    CommandLineRequest request{option->kind, 0, {}};
    if (option->takesSlot) {
        if (rest.isEmpty()) {
            return invalid(
                QStringLiteral("%1 needs a slot number from %2 to %3").arg(name).arg(FirstSlot).arg(LastSlot));
        }
        request.slot = slotNumber(rest.first());
        if (request.slot == 0) {
            return invalid(QStringLiteral("'%1' is not a slot number: slots are numbered %2 to %3")
                               .arg(rest.first())
                               .arg(FirstSlot)
                               .arg(LastSlot));
        }
        rest.removeFirst();
    }
    if (!rest.isEmpty()) {
        return invalid(QStringLiteral("unexpected '%1' after %2").arg(rest.first(), name));
    }
    return request;
}

QString requestLine(const CommandLineRequest &request)
{
    for (const Option &option : Options) {
        if (option.kind == request.kind) {
            const QString name = QLatin1String(option.name);
            return option.takesSlot ? name + QLatin1Char(' ') + QString::number(request.slot) : name;
        }
    }
    return {};
}

QString commandLineHelp()
{
    return QStringLiteral("Usage: velmora [DOCUMENT.vmd]\n"
                          "       velmora --copy K | --capture K | --show\n"
                          "Starts the Velmora clipboard slot bar, with the clip document named, or hands\n"
                          "a request to the bar that already runs on this display and ends.\n"
                          "\n"
                          "  --copy K      put slot K's text on the clipboard, as its slot button does\n"
                          "  --capture K   take the clipboard's text into slot K, as its capture button does\n"
                          "  --show        bring the bar back from the tray, from minimised or from behind\n"
                          "                other windows\n"
                          "  -h, --help    show this help and end\n"
                          "  --version     show the version and end\n"
                          "K is a slot number from 1 to 10. When several bars run, the one that has run\n"
                          "longest answers.\n"
                          "\n"
                          "Exit status: 0 done; 1 a bad option or slot number, nothing changed; 2 no bar\n"
                          "is running; 3 the bar could not do it, and its reason is shown.\n");
}

QString versionText()
{
    return QStringLiteral("velmora 1.0.7");
}
