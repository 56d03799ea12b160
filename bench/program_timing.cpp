// Timings of the program's window against the simulated device, offscreen:
//   program_timing frame [N]         a register frame written at the device's end until the
//                                    display has repainted with the new text (p50/p99 over N)
//   program_timing startup [N]       start of a process running the program's start-up until
//                                    its window's first paint (median over N runs) and the
//                                    peak resident memory, beside the same for a bare frameless
//                                    775 x 168 Qt window started the same way, and their ratio
//   program_timing idle SECONDS R512 CPU used by R512 connected to an idle device, and to a
//                                    silent one (which it keeps asking every 2 s)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "qt/QtProfile.h"
#include "qt/RemoteWindow.h"
#include "simulator/Simulator.h"

static void RegisterArtwork() { Q_INIT_RESOURCE(resources); }

namespace {

using namespace r512;
using Clock = std::chrono::steady_clock;

void WriteSettings(const std::string& port) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "ZEL",
                       "R512 Control Software");
    settings.clear();
    settings.setValue("Config/Configured", 1);
    settings.setValue("Config/Port", QString::fromStdString(port));
    settings.sync();
}

// The text of the window's display child.
const FrontPanelDisplay& Display(RemoteWindow& window) {
    return *window.findChild<FrontPanelDisplay*>(QStringLiteral("display"));
}

std::string Line(RemoteWindow& window, int line) {
    std::string text;
    for (int column = 0; column < 20; ++column) {
        const char c = Display(window).Text().At(line, column);
        text += c == 0 ? ' ' : c;
    }
    return text;
}

bool Pump(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double Percentile(std::vector<double> samples, double q) {
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
}

int FrameToDisplay(int count) {
    auto device = sim::Simulator::OpenPseudoTerminal();
    if (!device) return 1;
    WriteSettings(device->PortPath());
    QtProfile profile;
    RemoteWindow window(profile);
    window.Create();
    if (!Pump([&] { return Line(window, 1).find("vol:") != std::string::npos; }, 5000)) {
        std::fprintf(stderr, "the window never showed the device\n");
        return 1;
    }
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const auto volume = static_cast<std::uint8_t>(20 + i % 80);
        char expected[8];
        std::snprintf(expected, sizeof expected, "%+d", volume - 100);
        const int paints = Display(window).PaintCount();
        const auto start = Clock::now();
        device->ChangeRegister(RS_VOLUME, volume);
        if (!Pump(
                [&] {
                    return Display(window).PaintCount() > paints &&
                           Line(window, 1).find(expected) != std::string::npos;
                },
                2000)) {
            std::fprintf(stderr, "no repaint for volume %d\n", volume - 100);
            return 1;
        }
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("frame to repainted display, %d frames: p50 %.3f ms, p99 %.3f ms, max %.3f ms\n",
                count, Percentile(samples, 0.5), Percentile(samples, 0.99),
                *std::max_element(samples.begin(), samples.end()));
    return 0;
}

// The child of one start-up run: the program's own start-up, ended at the window's first paint.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->isWindow()) {
            QCoreApplication::exit(0);
        }
        return false;
    }
};

// One start of `program` in the given child mode; its time to exit and peak resident memory.
// A child that has not painted within 10 s is stopped: a start-up that waits for the user (the
// first run's configuration dialog) would otherwise never end.
bool TimeOneStart(const char* program, const char* mode, double& ms, long& peakKb) {
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        execl(program, program, mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (%s)\n", mode,
                     WIFSIGNALED(status) ? "stopped: no first paint within 10 s" : "exit status");
        return false;
    }
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    peakKb = std::max(peakKb, usage.ru_maxrss);
    return true;
}

int StartupRuns(int runs, const char* program) {
    auto device = sim::Simulator::OpenPseudoTerminal();
    if (!device) return 1;
    // The children inherit XDG_CONFIG_HOME, so they find a configured program and connect to
    // the simulated device instead of starting as a first run.
    WriteSettings(device->PortPath());
    std::vector<double> programTimes, baselineTimes;
    long programKb = 0, baselineKb = 0;
    for (int i = 0; i < runs; ++i) {
        double ms = 0;
        if (!TimeOneStart(program, "startup-child", ms, programKb)) return 1;
        programTimes.push_back(ms);
        if (!TimeOneStart(program, "baseline-child", ms, baselineKb)) return 1;
        baselineTimes.push_back(ms);
    }
    const double program50 = Percentile(programTimes, 0.5);
    const double baseline50 = Percentile(baselineTimes, 0.5);
    std::printf("start to first paint, %d runs each (median, max; peak resident):\n", runs);
    std::printf("  R512 window       %7.1f ms, %7.1f ms; %ld KiB\n", program50,
                *std::max_element(programTimes.begin(), programTimes.end()), programKb);
    std::printf("  bare Qt window    %7.1f ms, %7.1f ms; %ld KiB\n", baseline50,
                *std::max_element(baselineTimes.begin(), baselineTimes.end()), baselineKb);
    std::printf("  ratio             %7.2f\n", program50 / baseline50);
    return 0;
}

long ProcessTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::atol(field.c_str());
        if (i == 15) stime = std::atol(field.c_str());
    }
    return utime + stime;
}

int Idle(int seconds, const char* program) {
    for (const bool silent : {false, true}) {
        auto device = sim::Simulator::OpenPseudoTerminal();
        if (!device) return 1;
        sim::Faults faults;
        faults.silent = silent;
        device->SetFaults(faults);
        WriteSettings(device->PortPath());
        const pid_t child = fork();
        if (child == 0) {
            execl(program, program, static_cast<char*>(nullptr));
            _exit(127);
        }
        sleep(2);  // start-up done
        const long before = ProcessTicks(child);
        const auto t0 = Clock::now();
        sleep(static_cast<unsigned>(seconds));
        const long ticks = ProcessTicks(child) - before;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        const double cpu = static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
        std::printf("%s device, %.0f s: R512 used %.3f s of CPU (%.4f%%)\n",
                    silent ? "silent" : "idle", wall, cpu, 100.0 * cpu / wall);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "baseline-child") {
        // The baseline: a bare frameless window of the program's size, ended at its first paint.
        QApplication application(argc, argv);
        FirstPaint watcher;
        application.installEventFilter(&watcher);
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(775, 168);
        window.show();
        return QApplication::exec();
    }
    if (mode == "startup-child") {
        // One start of the program's own start-up path, ended at the first paint.
        QApplication application(argc, argv);
        RegisterArtwork();
        FirstPaint watcher;
        application.installEventFilter(&watcher);
        SetMessageSink([](int, const std::string&) {});
        QtProfile profile;
        RemoteWindow window(profile);
        window.Create();
        return QApplication::exec();
    }
    // The settings of this run (and of its children, which inherit the variable) live in a
    // folder of their own, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (mode == "startup") {
        const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
        return StartupRuns(runs, argv[0]);
    }
    QApplication application(argc, argv);
    RegisterArtwork();
    SetMessageSink([](int id, const std::string&) { std::fprintf(stderr, "message %d\n", id); });
    if (mode == "frame") return FrameToDisplay(argc > 2 ? std::atoi(argv[2]) : 1000);
    if (mode == "idle" && argc > 3) return Idle(std::atoi(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: program_timing frame [N] | startup [N] | idle SECONDS R512\n");
    return 2;
}
