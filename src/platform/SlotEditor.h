#pragma once

#include <QPlainTextEdit>
#include <memory>

class QPrinter;
class SlotFindDialog;

// The multi-line plain-text editor of one slot. Its text is the slot's
// buffer; its write and read operations fix the bytes of slot files.
class SlotEditor final : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int MaxCharacters = 16'777'215;
    static constexpr int UndoSteps = 100;

    explicit SlotEditor(QWidget* parent = nullptr);
    ~SlotEditor() override;

    // The whole text, every line break as CR LF.
    QString Text() const;
    // Replaces the whole text (CR LF, lone CR and lone LF are line breaks)
    // and discards the undo history.
    void SetText(const QString& text);
    // Adds s as a new last line; not recorded for undo.
    void AppendLine(const QString& s);
    // Inserts the clipboard's plain text at the caret; undoable.
    void PasteClipboard();
    void CutSelection();
    void CopySelection();
    void SelectAllText();
    void UndoLast();
    bool IsModified() const;
    void ClearText();
    QString SelectedText() const;
    // Raise AppError with the messages of the slot file layer.
    void WriteToFile(const QString& fileName);
    void ReadFromFile(const QString& fileName);
    void OpenFindDialog(const QString& initialText);
    bool RepeatFind();
    // Prints to printer (as the print dialog set it up) under title.
    void PrintText(const QString& title, QPrinter& printer);

Q_SIGNALS:
    // Raised after each change of the text.
    void OnChange();

private:
    std::unique_ptr<class SlotEditorPrivate> d;
};
