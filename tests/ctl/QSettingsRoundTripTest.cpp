// The toolkit-free reader against the settings library itself: whatever the desktop program can
// save as its port, r512ctl reads back the same.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "base/SettingsLayout.h"
#include "ctl/QSettingsIni.h"

namespace r512::test {
namespace {

TEST(QSettingsRoundTrip, EveryPortNameReadsBackUnchanged) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("settings.conf");
    const char* const ports[] = {"COM1",
                                 "socket://127.0.0.1:4001",
                                 "socket://[::1]:4001",
                                 "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                 " leading",
                                 "trailing ",
                                 "a;b,c=d",
                                 "quote\"back\\slash",
                                 "tab\there",
                                 "@home",
                                 "#hash",
                                 "[brackets]",
                                 "caf\xC3\xA9"};
    for (const char* port : ports) {
        {
            QSettings settings(path, QSettings::IniFormat);
            settings.setValue(QString(settings::kConfig) + "/" + settings::kPort,
                              QString::fromUtf8(port));
            settings.setValue(QString(settings::kConfig) + "/" + settings::kSpeed, 9600);
            settings.sync();
        }
        std::ifstream file(path.toStdString(), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_EQ(ctl::IniStringValue(text.str(), settings::kConfig, settings::kPort),
                  std::string(port))
            << text.str();
        EXPECT_EQ(ctl::IniStringValue(text.str(), settings::kConfig, settings::kSpeed), "9600");
    }
}

}  // namespace
}  // namespace r512::test
