#pragma once

#include "settings/FontRecord.h"
#include "settings/PlacementStore.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class AppError;
class RegistryStore;
namespace Layout {
struct StrSetting;
struct IntSetting;
struct BoolSetting;
} // namespace Layout

// A start-up choice with three states ("AutoOn", "AShowRemote"), stored as
// "1", "0" and "R".
enum class StartChoice
{
    Remember,  // "R": as at the last exit
    AlwaysOn,  // "1"
    AlwaysOff, // "0"
};

// Every value the program keeps, each with a typed getter and setter, read
// from and written to the registry store as RegistryLayout.h declares it.
// Nothing is cached: a value changed by another program (clipstow-reg, an
// import) is seen at the next read.
//
// One rule for a value that cannot be read (stored with another type, or
// the store failing): the failure is reported once, through the report
// function, and the value's default is used; it is reported again only
// after the value has been read well in between. A value that cannot be
// written is reported each time and its setter answers false. While the
// store is unavailable (locked by another process, read-only) reads give
// their defaults and writes are skipped without a report; the one message
// for that is takeNotSavedMessage. No function here throws.
class Settings final : public QObject
{
    Q_OBJECT

public:
    // What changed() names.
    enum class Value
    {
        AcceptedLicense,
        ShowSplash,
        ProgramPath,
        SlotFile,
        Toolbar,
        StatusBar,
        ConfirmClear,
        DateStyle,
        AutoAtStart,
        AutoWasOn,
        RemoteAtStart,
        RemoteWasShown,
        AutoHide,
        ActiveSlot,
        DefaultSound,
        SoundFile,
        AutoOff,
        OwnEditor,
        Editor,
        EditorFont,
        Placement,
    };
    Q_ENUM(Value)

    using Report = std::function<void(const AppError& failure)>;

    // On the store kept in storeFile (see RegistryStore::defaultFilePath),
    // or on a store the caller keeps. Without a report function failures go
    // to the log.
    explicit Settings(const QString& storeFile, Report report = {}, QObject* parent = nullptr);
    explicit Settings(RegistryStore& store, Report report = {}, QObject* parent = nullptr);
    ~Settings() override;

    // $CLIPSTOW_REGISTRY, else the registry file in the user's configuration
    // folder.
    static QString defaultStoreFile();

    void setReport(Report report);
    // Hands a failure to the report function (or the log).
    void report(const AppError& failure) const;

    // Groups the reads and writes of one start-up or shutdown: when another
    // process holds the store locked, the first operation waits for it at
    // most RegistryStore::DefaultBusyTimeoutMs and the rest of the batch
    // skips the store. Batches nest.
    class Batch final
    {
    public:
        explicit Batch(Settings& settings);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Settings& m_settings;
    };

    // "The settings could not be saved: <reason>." once after writes were
    // skipped (see RegistryStore::takeUnsavedReason); empty otherwise.
    QString takeNotSavedMessage();

    // "AcceptedLicense": "Never" until the agreement is accepted.
    QString acceptedLicense() const;
    bool setAcceptedLicense(const QString& text);
    // The agreement is due: only the exact text "Never" asks again.
    bool agreementDue() const;
    bool setAgreementDeclined();

    bool showSplash() const;
    bool setShowSplash(bool show);

    // "Path", the running program; written at every start, never read by it.
    QString programPath() const;
    bool setProgramPath(const QString& path);

    // "Filename1" to "Filename3"; slot is 1, 2 or 3.
    QString slotFileName(int slot) const;
    bool setSlotFileName(int slot, const QString& fileName);

    bool toolbarShown() const;
    bool setToolbarShown(bool shown);
    bool statusBarShown() const;
    bool setStatusBarShown(bool shown);
    // "ConfirmClr".
    bool confirmClear() const;
    bool setConfirmClear(bool confirm);
    // "DateStyle" as stored: 0, 1, 2 or any other number.
    int dateStyle() const;
    bool setDateStyle(int style);

    // "AutoOn": "1" on, "0" off, "R" and any other text Remember; and
    // "Auto". autoModeAtStart decodes the pair, reading "Auto" only for
    // Remember.
    StartChoice autoAtStart() const;
    bool setAutoAtStart(StartChoice choice);
    bool autoWasOn() const;
    bool setAutoWasOn(bool on);
    bool autoModeAtStart() const;

    // "AShowRemote": "1" shown, "R" Remember, "0" and any other text hidden;
    // and "ShowRemote", decoded with it by remoteShownAtStart.
    StartChoice remoteAtStart() const;
    bool setRemoteAtStart(StartChoice choice);
    bool remoteWasShown() const;
    bool setRemoteWasShown(bool shown);
    bool remoteShownAtStart() const;

    bool autoHide() const;
    bool setAutoHide(bool hide);

    // "ActiveFile": 1, 2 or 3; any other stored number gives 1.
    int activeSlot() const;
    bool setActiveSlot(int slot);

    bool defaultSound() const;
    bool setDefaultSound(bool builtIn);
    QString soundFile() const;
    bool setSoundFile(const QString& fileName);

    bool autoOff() const;
    bool setAutoOff(bool off);

    // "DefinEd" (open slot files with the program "Editor" names) and
    // "Editor", nullopt when none is stored.
    bool ownEditor() const;
    bool setOwnEditor(bool own);
    std::optional<QString> editor() const;
    bool setEditor(const QString& program);

    // "MediaPath" of the Setup key: where choosing a sound file starts. Only
    // read.
    QString mediaFolder() const;

    // The font record of the Font key. Values that are missing keep the
    // attributes of defaults (a missing "Style" makes it plain); when one
    // cannot be read, defaults comes back whole.
    FontRecord editorFont(const FontRecord& defaults) const;
    bool setEditorFont(const FontRecord& font);

    // A window's place (see PlacementStore.h).
    Placement::Found placement(Placement::Window window, QSize screenPixels,
                               int currentPixelsPerInch,
                               const std::array<int, 4>& currentNormal) const;
    bool setPlacement(Placement::Window window, const Placement::Record& record, QSize screenPixels,
                      bool visible);

    // The uninstall command: the program key with its subkeys under both
    // roots, the parent keys that leaves empty, and the store's file once
    // nothing else is in it. False when something could not be removed.
    bool removeAll();

Q_SIGNALS:
    // A setter wrote a value.
    void changed(Settings::Value value);

private:
    QString get(const Layout::StrSetting& setting) const;
    int get(const Layout::IntSetting& setting) const;
    bool get(const Layout::BoolSetting& setting) const;
    bool set(const Layout::StrSetting& setting, Value value, const QString& newValue);
    bool set(const Layout::IntSetting& setting, Value value, int newValue);
    bool set(const Layout::BoolSetting& setting, Value value, bool newValue);
    template <typename Read>
    auto readOr(const char* name, Read read, decltype(read()) fallback) const;
    template <typename Write> bool write(const char* name, Value value, Write write);

    std::unique_ptr<RegistryStore> m_ownStore;
    RegistryStore& m_store;
    Report m_report;
    // Names of the values whose failure to be read has been reported.
    mutable QSet<QString> m_reported;
};
