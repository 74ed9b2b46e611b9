#pragma once

class QMimeData;
class QString;

// Recognises clipboard contents that their owner has marked as not to be
// kept by clipboard history tools (password managers do this), so that
// automatic collection leaves them alone.
namespace ClipboardSecrets {

// True when `data` carries one of these marks:
// - "x-kde-passwordManagerHint" with the value "secret" (KDE, X11, Wayland);
// - the Windows formats "ExcludeClipboardContentFromMonitorProcessing" or
//   "Clipboard Viewer Ignore", whatever their content;
// - the Windows format "CanIncludeInClipboardHistory" holding the DWORD 0.
// Windows format names are matched in every spelling Qt offers them under
// (the bare name or application/x-qt-windows-mime;value="name"), ignoring
// letter case as Windows does. A null pointer is not secret.
bool isSecret(const QMimeData* data);

// The Windows clipboard format a MIME type stands for: the quoted value of
// an application/x-qt-windows-mime type, otherwise the type itself.
QString windowsFormatName(const QString& mimeType);

} // namespace ClipboardSecrets
