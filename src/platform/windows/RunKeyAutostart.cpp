// Starting with the session: the value "Clipstow" of the Run key, the full
// path of the program without quotes or arguments. The machine's Run key
// (for every user) where this user may write it, as an administrator may;
// otherwise the user's own, which Windows reads at the user's sign-in as
// well. Both are looked at when asking and when removing.
#include "platform/Autostart.h"

#include "base/AppError.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

#include <system_error>

namespace {

const wchar_t* const RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const ValueName = L"Clipstow";

// The Run key of root, opened with the given rights; null when it cannot be.
HKEY openRun(HKEY root, REGSAM rights)
{
    HKEY key = nullptr;
    return RegOpenKeyExW(root, RunKey, 0, rights, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool hasValue(HKEY root)
{
    const HKEY key = openRun(root, KEY_QUERY_VALUE);
    if (!key)
        return false;
    const bool found =
        RegQueryValueExW(key, ValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

// Writes the value under root; the system's error code.
LONG setValue(HKEY root, const QString& programPath)
{
    HKEY key = nullptr;
    LONG result =
        RegCreateKeyExW(root, RunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    const QString native = QDir::toNativeSeparators(programPath);
    result =
        RegSetValueExW(key, ValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(native.utf16()),
                       DWORD((native.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result;
}

bool removeValue(HKEY root)
{
    const HKEY key = openRun(root, KEY_SET_VALUE);
    if (!key)
        return false;
    const bool removed = RegDeleteValueW(key, ValueName) == ERROR_SUCCESS;
    RegCloseKey(key);
    return removed;
}

// A value the registry refused, as the settings report one.
AppError failure(LONG result)
{
    return AppError::forFile(QCoreApplication::translate("RegTools", "Failed to set data for '%s'"),
                             QString::fromWCharArray(ValueName),
                             QString::fromStdString(std::system_category().message(int(result))));
}

class RunKeyAutostart final : public Autostart
{
public:
    bool exists() const override
    {
        return hasValue(HKEY_LOCAL_MACHINE) || hasValue(HKEY_CURRENT_USER);
    }

    void write(const QString& programPath) override
    {
        if (setValue(HKEY_LOCAL_MACHINE, programPath) == ERROR_SUCCESS) {
            // One entry only: the machine's starts the program for this user too.
            removeValue(HKEY_CURRENT_USER);
            return;
        }
        const LONG result = setValue(HKEY_CURRENT_USER, programPath);
        if (result != ERROR_SUCCESS)
            throw failure(result);
    }

    bool remove() override
    {
        const bool machine = removeValue(HKEY_LOCAL_MACHINE);
        const bool user = removeValue(HKEY_CURRENT_USER);
        return machine || user;
    }

    void updateProgramPath(const QString& programPath) override
    {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            if (!hasValue(root))
                continue;
            const LONG result = setValue(root, programPath);
            // The machine's entry may be one an administrator made, which
            // this user can read but not change: it stays as it is.
            if (result != ERROR_SUCCESS &&
                !(root == HKEY_LOCAL_MACHINE && result == ERROR_ACCESS_DENIED))
                throw failure(result);
        }
    }
};

} // namespace

std::unique_ptr<Autostart> createSystemAutostart()
{
    return std::make_unique<RunKeyAutostart>();
}
