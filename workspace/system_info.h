#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace linoveta {

// A read-only view of a settings registry with typed values. There is none on Linux, so the
// program's own implementation finds nothing; tests put values in.
class RegistryReader
{
public:
    enum ValueType : int { String = 1, Number = 4 };
    struct Value
    {
        int type = String;
        QByteArray data;  // as stored, a string's terminating NUL included
    };
    virtual ~RegistryReader() = default;
    // Nothing when the key cannot be opened or the value is missing.
    virtual std::optional<Value> query(std::uint32_t root, const QString &key,
                                       const QString &name) const = 0;
};

class NoRegistry final : public RegistryReader
{
public:
    std::optional<Value> query(std::uint32_t, const QString &, const QString &) const override
    {
        return std::nullopt;
    }
};

inline constexpr std::uint32_t HKEY_LOCAL_MACHINE_ROOT = 0x80000002u;

// Reads one value as text: a string up to its NUL, a 32-bit number as its decimal text. On
// failure `keyVal` becomes empty and the result is false; other value types leave it as it was.
bool GetKeyValue(const RegistryReader &registry, std::uint32_t keyRoot, const QString &keyName,
                 const QString &subKeyRef, QString &keyVal);

// What the launcher needs from the system, so that each of its paths can be tested.
struct SystemInfoServices
{
    const RegistryReader *registry = nullptr;
    std::function<bool(const QString &path)> fileExists;
    // The full path of a command found on PATH, or empty.
    std::function<QString(const QString &command)> findOnPath;
    // Starts a program detached; false when it could not be started.
    std::function<bool(const QString &program)> start;
};

// The services of this machine: no registry, QFileInfo, QStandardPaths, QProcess.
SystemInfoServices DesktopSystemInfoServices();

// Desktop programs that show the system's information, tried in this order.
const QStringList &KnownSystemInfoCommands();

inline const QString kSystemInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");

// Starts the system-information program: the registered one first, else the first known
// command on PATH. False when none could be started; the caller shows kSystemInfoUnavailable.
bool StartSysInfo(const SystemInfoServices &services);

} // namespace linoveta
