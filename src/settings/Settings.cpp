#include "settings/Settings.h"

#include "base/AppError.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"

#include <QtGlobal>

namespace {

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

QString storedChoice(StartChoice choice)
{
    switch (choice) {
    case StartChoice::AlwaysOn:
        return QStringLiteral("1");
    case StartChoice::AlwaysOff:
        return QStringLiteral("0");
    case StartChoice::Remember:
        break;
    }
    return QStringLiteral("R");
}

// The stored text back; any text other than the three gives fallback.
StartChoice decodedChoice(const QString& stored, StartChoice fallback)
{
    if (stored == QLatin1String("1"))
        return StartChoice::AlwaysOn;
    if (stored == QLatin1String("0"))
        return StartChoice::AlwaysOff;
    if (stored == QLatin1String("R"))
        return StartChoice::Remember;
    return fallback;
}

} // namespace

Settings::Settings(const QString& storeFile, Report report, QObject* parent)
    : QObject(parent), m_ownStore(std::make_unique<RegistryStore>(storeFile)), m_store(*m_ownStore),
      m_report(std::move(report))
{
}

Settings::Settings(RegistryStore& store, Report report, QObject* parent)
    : QObject(parent), m_store(store), m_report(std::move(report))
{
}

QString Settings::defaultStoreFile()
{
    return RegistryStore::defaultFilePath();
}

Settings::~Settings() = default;

void Settings::setReport(Report report)
{
    m_report = std::move(report);
}

void Settings::report(const AppError& failure) const
{
    if (m_report)
        m_report(failure);
    else
        qWarning("Clipstow: %s", qUtf8Printable(failure.message()));
}

template <typename Read>
auto Settings::readOr(const char* name, Read read, decltype(read()) fallback) const
{
    const QString key = QString::fromLatin1(name);
    try {
        auto value = read();
        m_reported.remove(key);
        return value;
    } catch (const AppError& failure) {
        if (!m_reported.contains(key)) {
            m_reported.insert(key);
            report(failure);
        }
    } catch (const std::exception& failure) {
        if (!m_reported.contains(key)) {
            m_reported.insert(key);
            report(AppError(QString::fromLocal8Bit(failure.what())));
        }
    }
    return fallback;
}

template <typename Write> bool Settings::write(const char* name, Value value, Write write)
{
    try {
        write();
    } catch (const AppError& failure) {
        report(failure);
        return false;
    } catch (const std::exception& failure) {
        report(AppError(QString::fromLocal8Bit(failure.what())));
        return false;
    }
    // A value written is readable again: a later failure is news.
    m_reported.remove(QString::fromLatin1(name));
    Q_EMIT changed(value);
    return true;
}

Settings::Batch::Batch(Settings& settings) : m_settings(settings)
{
    m_settings.m_store.beginBatch();
}

Settings::Batch::~Batch()
{
    m_settings.m_store.endBatch();
}

QString Settings::takeNotSavedMessage()
{
    return RegTools::takeNotSavedMessage(m_store);
}

// ---- Reading and writing one declared value ---------------------------

QString Settings::get(const Layout::StrSetting& setting) const
{
    return readOr(
        setting.name,
        [&] {
            return RegTools::readString(m_store, text(setting.key), text(setting.name),
                                        QString::fromUtf8(setting.defaultValue));
        },
        QString::fromUtf8(setting.defaultValue));
}

int Settings::get(const Layout::IntSetting& setting) const
{
    return readOr(
        setting.name,
        [&] {
            return RegTools::readInt(m_store, text(setting.key), text(setting.name),
                                     setting.defaultValue);
        },
        setting.defaultValue);
}

bool Settings::get(const Layout::BoolSetting& setting) const
{
    return readOr(
        setting.name,
        [&] {
            return RegTools::readBool(m_store, text(setting.key), text(setting.name),
                                      setting.defaultValue);
        },
        setting.defaultValue);
}

bool Settings::set(const Layout::StrSetting& setting, Value value, const QString& newValue)
{
    return write(setting.name, value, [&] {
        RegTools::writeString(m_store, text(setting.key), text(setting.name), newValue);
    });
}

bool Settings::set(const Layout::IntSetting& setting, Value value, int newValue)
{
    return write(setting.name, value, [&] {
        RegTools::writeInt(m_store, text(setting.key), text(setting.name), newValue);
    });
}

bool Settings::set(const Layout::BoolSetting& setting, Value value, bool newValue)
{
    return write(setting.name, value, [&] {
        RegTools::writeBool(m_store, text(setting.key), text(setting.name), newValue);
    });
}

// ---- The values, in the order of the layout -----------------------------

QString Settings::acceptedLicense() const
{
    return get(Layout::AcceptedLicense);
}

bool Settings::setAcceptedLicense(const QString& value)
{
    return set(Layout::AcceptedLicense, Value::AcceptedLicense, value);
}

bool Settings::showSplash() const
{
    return get(Layout::ShowSplash);
}

bool Settings::setShowSplash(bool value)
{
    return set(Layout::ShowSplash, Value::ShowSplash, value);
}

QString Settings::programPath() const
{
    return get(Layout::Path);
}

bool Settings::setProgramPath(const QString& value)
{
    return set(Layout::Path, Value::ProgramPath, value);
}

bool Settings::toolbarShown() const
{
    return get(Layout::Toolbar);
}

bool Settings::setToolbarShown(bool value)
{
    return set(Layout::Toolbar, Value::Toolbar, value);
}

bool Settings::statusBarShown() const
{
    return get(Layout::StatusBar);
}

bool Settings::setStatusBarShown(bool value)
{
    return set(Layout::StatusBar, Value::StatusBar, value);
}

bool Settings::confirmClear() const
{
    return get(Layout::ConfirmClr);
}

bool Settings::setConfirmClear(bool value)
{
    return set(Layout::ConfirmClr, Value::ConfirmClear, value);
}

int Settings::dateStyle() const
{
    return get(Layout::DateStyle);
}

bool Settings::setDateStyle(int value)
{
    return set(Layout::DateStyle, Value::DateStyle, value);
}

StartChoice Settings::autoAtStart() const
{
    return decodedChoice(get(Layout::AutoOn), StartChoice::Remember);
}

bool Settings::setAutoAtStart(StartChoice choice)
{
    return set(Layout::AutoOn, Value::AutoAtStart, storedChoice(choice));
}

bool Settings::autoWasOn() const
{
    return get(Layout::Auto);
}

bool Settings::setAutoWasOn(bool value)
{
    return set(Layout::Auto, Value::AutoWasOn, value);
}

// Unlike "AutoOn", a text other than the three stands for hidden.
StartChoice Settings::remoteAtStart() const
{
    return decodedChoice(get(Layout::AShowRemote), StartChoice::AlwaysOff);
}

bool Settings::setRemoteAtStart(StartChoice choice)
{
    return set(Layout::AShowRemote, Value::RemoteAtStart, storedChoice(choice));
}

bool Settings::remoteWasShown() const
{
    return get(Layout::ShowRemote);
}

bool Settings::setRemoteWasShown(bool value)
{
    return set(Layout::ShowRemote, Value::RemoteWasShown, value);
}

bool Settings::autoHide() const
{
    return get(Layout::AutoHide);
}

bool Settings::setAutoHide(bool value)
{
    return set(Layout::AutoHide, Value::AutoHide, value);
}

bool Settings::defaultSound() const
{
    return get(Layout::DefaultSound);
}

bool Settings::setDefaultSound(bool value)
{
    return set(Layout::DefaultSound, Value::DefaultSound, value);
}

QString Settings::soundFile() const
{
    return get(Layout::SoundFile);
}

bool Settings::setSoundFile(const QString& value)
{
    return set(Layout::SoundFile, Value::SoundFile, value);
}

bool Settings::autoOff() const
{
    return get(Layout::AutoOff);
}

bool Settings::setAutoOff(bool value)
{
    return set(Layout::AutoOff, Value::AutoOff, value);
}

bool Settings::ownEditor() const
{
    return get(Layout::DefinEd);
}

bool Settings::setOwnEditor(bool value)
{
    return set(Layout::DefinEd, Value::OwnEditor, value);
}

bool Settings::agreementDue() const
{
    return acceptedLicense() == QLatin1String(Layout::LicenseNeverAccepted);
}

bool Settings::setAgreementDeclined()
{
    return setAcceptedLicense(QString::fromLatin1(Layout::LicenseNeverAccepted));
}

QString Settings::slotFileName(int slot) const
{
    return get(Layout::slotFilename(slot));
}

bool Settings::setSlotFileName(int slot, const QString& fileName)
{
    return set(Layout::slotFilename(slot), Value::SlotFile, fileName);
}

bool Settings::autoModeAtStart() const
{
    const StartChoice choice = autoAtStart();
    return choice == StartChoice::Remember ? autoWasOn() : choice == StartChoice::AlwaysOn;
}

bool Settings::remoteShownAtStart() const
{
    const StartChoice choice = remoteAtStart();
    return choice == StartChoice::Remember ? remoteWasShown() : choice == StartChoice::AlwaysOn;
}

int Settings::activeSlot() const
{
    const int stored = get(Layout::ActiveFile);
    return (stored == 2 || stored == 3) ? stored : 1;
}

bool Settings::setActiveSlot(int slot)
{
    return set(Layout::ActiveFile, Value::ActiveSlot, slot);
}

std::optional<QString> Settings::editor() const
{
    const Layout::StrSetting& setting = Layout::Editor;
    return readOr(
        setting.name,
        [&]() -> std::optional<QString> {
            if (!RegTools::valueExists(m_store, text(setting.key), text(setting.name)))
                return std::nullopt;
            return RegTools::readString(m_store, text(setting.key), text(setting.name), QString());
        },
        std::nullopt);
}

bool Settings::setEditor(const QString& program)
{
    return set(Layout::Editor, Value::Editor, program);
}

QString Settings::mediaFolder() const
{
    return get(Layout::MediaPath);
}

FontRecord Settings::editorFont(const FontRecord& defaults) const
{
    return readOr(
        "Font",
        [&] {
            FontRecord record = defaults;
            RegTools::readFont(m_store, record, text(Layout::FontKey), defaults);
            return record;
        },
        defaults);
}

bool Settings::setEditorFont(const FontRecord& font)
{
    return write("Font", Value::EditorFont,
                 [&] { RegTools::writeFont(m_store, font, text(Layout::FontKey)); });
}

Placement::Found Settings::placement(Placement::Window window, QSize screenPixels,
                                     int currentPixelsPerInch,
                                     const std::array<int, 4>& currentNormal) const
{
    return readOr(
        window == Placement::Window::Main ? Layout::MainFormSection : Layout::RemoteFormSection,
        [&] {
            return Placement::read(m_store, window, screenPixels, currentPixelsPerInch,
                                   currentNormal);
        },
        Placement::Found());
}

bool Settings::setPlacement(Placement::Window window, const Placement::Record& record,
                            QSize screenPixels, bool visible)
{
    return write(window == Placement::Window::Main ? Layout::MainFormSection
                                                   : Layout::RemoteFormSection,
                 Value::Placement,
                 [&] { Placement::write(m_store, window, record, screenPixels, visible); });
}

bool Settings::removeAll()
{
    const QString key = QString::fromLatin1(Layout::ProgramKey);
    bool removed = true;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        try {
            if (m_store.keyExists(root, key))
                m_store.deleteKeyAndEmptyParents(root, key);
        } catch (const std::exception&) {
            removed = false;
        }
    }
    // Nothing left behind: the file goes once nothing else is in it.
    try {
        m_store.removeFileIfEmpty();
    } catch (const std::exception&) {
        removed = false;
    }
    return removed;
}
