#include "workspace/system_info.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace linoveta {

bool GetKeyValue(const RegistryReader &registry, std::uint32_t keyRoot, const QString &keyName,
                 const QString &subKeyRef, QString &keyVal)
{
    const auto value = registry.query(keyRoot, keyName, subKeyRef);
    if (!value) {
        keyVal.clear();
        return false;
    }
    QByteArray data = value->data.left(1024);
    if (!data.isEmpty() && data.back() == '\0')
        data.chop(1);
    if (value->type == RegistryReader::String) {
        keyVal = QString::fromLocal8Bit(data);
    } else if (value->type == RegistryReader::Number) {
        // Little-endian bytes; each byte keeps both hex digits so 0x0102 does not read as 0x12.
        std::uint32_t number = 0;
        for (int i = std::min<int>(static_cast<int>(data.size()), 4) - 1; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(data[i]);
        keyVal = QString::number(number);
    }
    return true;
}

const QStringList &KnownSystemInfoCommands()
{
    static const QStringList commands{
        QStringLiteral("kinfocenter"),
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("gnome-system-monitor"),
    };
    return commands;
}

SystemInfoServices DesktopSystemInfoServices()
{
    static const NoRegistry none;
    SystemInfoServices services;
    services.registry = &none;
    services.fileExists = [](const QString &path) { return QFileInfo(path).isFile(); };
    services.findOnPath = [](const QString &command) {
        return QStandardPaths::findExecutable(command);
    };
    services.start = [](const QString &program) {
        return QProcess::startDetached(program, {});
    };
    return services;
}

bool StartSysInfo(const SystemInfoServices &services)
{
    if (!services.start)
        return false;
    QString path;
    if (services.registry) {
        const QString tools = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        const QString location = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
        QString value;
        if (GetKeyValue(*services.registry, HKEY_LOCAL_MACHINE_ROOT, tools,
                        QStringLiteral("PATH"), value)) {
            // A registered full path is started as it is.
            return services.start(value);
        }
        if (GetKeyValue(*services.registry, HKEY_LOCAL_MACHINE_ROOT, location,
                        QStringLiteral("MSINFO"), value)) {
            path = value + QStringLiteral("\\MSINFO32.EXE");
            if (services.fileExists && services.fileExists(path))
                return services.start(path);
            return false;
        }
    }
    if (!services.findOnPath)
        return false;
    for (const QString &command : KnownSystemInfoCommands()) {
        const QString found = services.findOnPath(command);
        if (!found.isEmpty())
            return services.start(found);
    }
    return false;
}

} // namespace linoveta
