#include "qt/QtProfile.h"

#include "base/SettingsLayout.h"

namespace r512 {

namespace {
QString Path(const char* section, const char* key) {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
}
}  // namespace

QtProfile::QtProfile()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, settings::kOrganisation,
                settings::kApplication) {}

int QtProfile::GetProfileInt(const char* section, const char* key, int defaultValue) {
    const QVariant value = settings_.value(Path(section, key));
    if (!value.isValid()) return defaultValue;
    // A value that is no number (edited by hand, say) reads as missing.
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (ok) return number;
    const int direct = value.toInt(&ok);
    return ok ? direct : defaultValue;
}

std::string QtProfile::GetProfileString(const char* section, const char* key,
                                        const char* defaultValue) {
    const QVariant value = settings_.value(Path(section, key));
    if (!value.isValid() || !value.canConvert<QString>()) return defaultValue;
    return value.toString().toLocal8Bit().toStdString();
}

bool QtProfile::WriteProfileInt(const char* section, const char* key, int value) {
    settings_.setValue(Path(section, key), value);
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

bool QtProfile::WriteProfileString(const char* section, const char* key, const std::string& value) {
    settings_.setValue(Path(section, key), QString::fromLocal8Bit(value.c_str()));
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

}  // namespace r512
