// Clip document load and save against their floors, for documents whose texts
// total 1, 10 and 100 MB:
//   load  readClipDocument    floor  QFile::readAll + QString::fromUtf8 of the same file
//   save  writeClipDocument   floor  QSaveFile writing the same bytes, already encoded
// Every timed step runs once in a fresh child process, as a load does in the
// program: inside one process the allocator hands a repeated large request the
// pages it has just freed, which flatters whichever side makes fewer, larger
// requests. The four steps take turns; times are medians; the file is in the
// page cache. Peak memory is the child's VmHWM after loading less its VmHWM
// before, as a multiple of the file size.
// Usage: bench_documents [FOLDER]           files go to FOLDER, default a temporary folder
//        bench_documents --step STEP FILE OUT   the child; prints "ms idle-kB peak-kB"
#include "documents/ClipDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const QStringList Steps = {QStringLiteral("load"), QStringLiteral("load-floor"), QStringLiteral("save"),
                           QStringLiteral("save-floor")};

long highWaterKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Prose in short lines, one word in ten accented, now and then a quoted word.
QByteArray sampleText(qsizetype bytes)
{
    static const char *const words[] = {"the",   "slot",  "bar",   "copies", "text",   "into",   "clipboard",
                                        "and",   "back",  "with",  "labels", "across", "\"it\"", "café",
                                        "naïve", "Größe", "señor", "garçon", "élan",   "déjà"};
    QRandomGenerator random(7);
    QByteArray block;
    while (block.size() < 1 << 20) {
        for (int w = 0; w < 11; ++w) {
            int pick = random.bounded(12);
            if (random.bounded(10) == 0) {
                pick = 13 + random.bounded(7);
            } else if (random.bounded(50) == 0) {
                pick = 12;
            }
            block += words[pick];
            block += ' ';
        }
        block += "\r\n";
    }
    QByteArray text = block.repeated(bytes / block.size() + 1);
    text.truncate(bytes);
    while (!QByteArrayView(text).isValidUtf8()) {
        text.chop(1); // a slot holds whole characters
    }
    return text;
}

AppState::SlotSet sampleDocument(qsizetype textBytes)
{
    AppState::SlotSet slotSet;
    const QByteArray text = sampleText(textBytes / AppState::SlotCount);
    for (int k = 0; k < AppState::SlotCount; ++k) {
        slotSet.at(static_cast<std::size_t>(k)) = {QStringLiteral("Slot %1 é").arg(k + 1), text};
    }
    return slotSet;
}

// One step in this process: prints its milliseconds and the high-water marks
// before and after.
int runStep(const QString &step, const QString &path, const QString &out)
{
    QString error;
    AppState::SlotSet slotSet;
    QByteArray bytes;
    if (step == QLatin1String("save") && readClipDocument(path, slotSet, error) != ReadStatus::Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (step == QLatin1String("save-floor")) {
        QFile file(path);
        bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const long idle = highWaterKb();
    const auto start = std::chrono::steady_clock::now();
    bool done = false;
    if (step == QLatin1String("load")) {
        done = readClipDocument(path, slotSet, error) == ReadStatus::Ok;
    } else if (step == QLatin1String("load-floor")) {
        QFile file(path);
        done = file.open(QIODevice::ReadOnly) && !QString::fromUtf8(file.readAll()).isEmpty();
    } else if (step == QLatin1String("save")) {
        done = writeClipDocument(out, slotSet, error);
    } else {
        QSaveFile file(out);
        done = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!done) {
        std::fprintf(stderr, "%s failed %s\n", qPrintable(step), qPrintable(error));
        return 1;
    }
    std::printf("%.3f %ld %ld\n", ms, idle, highWaterKb());
    return 0;
}

struct Sample
{
    double ms = 0;
    double peakKb = 0;
};

Sample runChild(const QString &step, const QString &path, const QString &out)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--step"), step, path, out});
    const QList<QByteArray> fields = child.waitForFinished(-1) && child.exitCode() == 0
                                         ? child.readAllStandardOutput().simplified().split(' ')
                                         : QList<QByteArray>();
    if (fields.size() != 3) {
        std::fprintf(stderr, "bench_documents: step %s failed\n", qPrintable(step));
        std::exit(1);
    }
    return {fields[0].toDouble(), fields[2].toDouble() - fields[1].toDouble()};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--step")) {
        return runStep(args[2], args[3], args[4]);
    }
    QTemporaryDir temporary;
    const QString folder = args.size() > 1 ? args[1] : temporary.path();
    const QString path = folder + QStringLiteral("/bench.vmd");
    const QString out = folder + QStringLiteral("/bench-out.vmd");

    std::printf("%-6s %9s %9s %6s  %9s %9s %6s  %11s %11s\n", "texts", "load ms", "floor ms", "ratio", "save ms",
                "floor ms", "ratio", "load peak", "floor peak");
    for (const auto &[megabytes, runs] : {std::pair{1, 21}, std::pair{10, 11}, std::pair{100, 5}}) {
        QString error;
        if (!writeClipDocument(path, sampleDocument(qsizetype(megabytes) << 20), error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        runChild(Steps[0], path, out); // page cache and disk blocks settled
        std::vector<double> ms[4], peakKb[4];
        for (int run = 0; run < runs; ++run) {
            for (int step = 0; step < 4; ++step) {
                const Sample sample = runChild(Steps[step], path, out);
                ms[step].push_back(sample.ms);
                peakKb[step].push_back(sample.peakKb);
            }
        }
        const double sizeKb = double(QFile(path).size()) / 1024.0;
        std::printf("%3d MB %9.1f %9.1f %6.2f  %9.1f %9.1f %6.2f  %10.2fx %10.2fx\n", megabytes, median(ms[0]),
                    median(ms[1]), median(ms[0]) / median(ms[1]), median(ms[2]), median(ms[3]),
                    median(ms[2]) / median(ms[3]), median(peakKb[0]) / sizeKb, median(peakKb[1]) / sizeKb);
        QFile summary(qEnvironmentVariable("BENCH_SUMMARY"));
        if (megabytes != 10 && !summary.fileName().isEmpty() && summary.open(QIODevice::Append | QIODevice::Text)) {
            for (const auto &[what, step, aim] : {std::tuple{"load", 0, "1.0"}, std::tuple{"save", 2, "1.2"}}) {
                summary.write(QStringLiteral("document %1, %2 MB\t%3 ms\t%4 ms\t%5\t<= %6\n")
                                  .arg(QLatin1String(what))
                                  .arg(megabytes)
                                  .arg(median(ms[step]), 0, 'f', 1)
                                  .arg(median(ms[step + 1]), 0, 'f', 1)
                                  .arg(median(ms[step]) / median(ms[step + 1]), 0, 'f', 2)
                                  .arg(QLatin1String(aim))
                                  .toUtf8());
            }
        }
    }
    std::printf("peak: VmHWM growth while loading, as a multiple of the file size\n");
    QFile::remove(path);
    QFile::remove(out);
    return 0;
}
