<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AgreementDialog</name>
    <message>
        <source>Clipstow License Agreement</source>
        <translation>Clipstow-Lizenzvereinbarung</translation>
    </message>
    <message>
        <source>I Accept</source>
        <translation>Ich stimme zu</translation>
    </message>
    <message>
        <source>I Do Not Accept</source>
        <translation>Ich stimme nicht zu</translation>
    </message>
    <message>
        <source>Terms</source>
        <extracomment>The agreement&apos;s text for screen readers</extracomment>
        <translation>Bedingungen</translation>
    </message>
</context>
<context>
    <name>ClipboardMonitor</name>
    <message>
        <source>Not captured: the program that copied did not deliver the text</source>
        <translation>Nicht übernommen: Das Programm, aus dem kopiert wurde, hat den Text nicht geliefert</translation>
    </message>
    <message>
        <source>Not captured: the copied text is larger than %1</source>
        <translation>Nicht übernommen: Der kopierte Text ist größer als %1</translation>
    </message>
    <message>
        <source>Not captured: the next copy came before the text of the one before was read</source>
        <translation>Nicht übernommen: Die nächste Kopie kam, bevor der Text der vorigen gelesen war</translation>
    </message>
</context>
<context>
    <name>ClipboardSourceChooser</name>
    <message>
        <source>On this desktop auto mode may see only the copies made while a Clipstow window is active: %1</source>
        <translation>Auf diesem Desktop sieht der Automatikmodus womöglich nur Kopien, die gemacht werden, während ein Clipstow-Fenster aktiv ist: %1</translation>
    </message>
    <message>
        <source>the Wayland clipboard is watched again</source>
        <translation>die Wayland-Zwischenablage wird wieder beobachtet</translation>
    </message>
    <message>
        <source>%1; the Wayland clipboard is watched again</source>
        <translation>%1; die Wayland-Zwischenablage wird wieder beobachtet</translation>
    </message>
    <message>
        <source>%1; copies are now seen as on X11, and the Wayland clipboard is tried again</source>
        <translation>%1; Kopien werden jetzt wie unter X11 erkannt, und die Wayland-Zwischenablage wird erneut versucht</translation>
    </message>
</context>
<context>
    <name>ClipboardViewer</name>
    <message>
        <source>Clipboard Viewer</source>
        <translation>Zwischenablage-Anzeige</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>The clipboard is empty.</source>
        <translation>Die Zwischenablage ist leer.</translation>
    </message>
    <message>
        <source>1 format:</source>
        <translation>1 Format:</translation>
    </message>
    <message>
        <source>%1 formats:</source>
        <translation>%1 Formate:</translation>
    </message>
    <message>
        <source>(no text)</source>
        <translation>(kein Text)</translation>
    </message>
    <message>
        <source>

(The text goes on: %1 characters in all.)</source>
        <translation>

(Der Text geht weiter: insgesamt %1 Zeichen.)</translation>
    </message>
    <message>
        <source>(hidden: marked secret by its owner)</source>
        <translation>(verborgen: von seinem Eigentümer als geheim markiert)</translation>
    </message>
    <message>
        <source>(not delivered)</source>
        <translation>(nicht geliefert)</translation>
    </message>
</context>
<context>
    <name>Collector</name>
    <message>
        <source>A capture cut off while it was written was moved to %1</source>
        <extracomment>%1 is the file the cut-off capture was moved to</extracomment>
        <translation>Eine beim Schreiben abgebrochene Übernahme wurde nach %1 verschoben</translation>
    </message>
    <message>
        <source>%1 was written without its lock (%2)</source>
        <extracomment>%1 is the slot&apos;s file, %2 why it had no lock</extracomment>
        <translation>%1 wurde ohne Sperre geschrieben (%2)</translation>
    </message>
    <message>
        <source>Secret text on the Clipboard was not captured</source>
        <translation>Geheimer Text in der Zwischenablage wurde nicht übernommen</translation>
    </message>
    <message>
        <source>Unsaved text of the slot kept in %1</source>
        <translation>Nicht gespeicherter Text des Fachs wurde in %1 aufbewahrt</translation>
    </message>
    <message>
        <source>No text in the Clipboard</source>
        <translation>Kein Text in der Zwischenablage</translation>
    </message>
    <message>
        <source>Auto clipstow to %1</source>
        <extracomment>The status hint; %1 is the active slot&apos;s file</extracomment>
        <translation>Automatisch übernehmen nach %1</translation>
    </message>
    <message>
        <source>Ready to clipstow to %1</source>
        <translation>Bereit zum Übernehmen nach %1</translation>
    </message>
    <message>
        <source>One more copy could not be written to %1; its text is in slot %2, which can be saved once the file can be written</source>
        <translation>Eine weitere Kopie konnte nicht in %1 geschrieben werden; ihr Text steht in Fach %2, das gespeichert werden kann, sobald die Datei wieder beschreibbar ist</translation>
    </message>
    <message numerus="yes">
        <source>%n more copies could not be written to %1; their text is in slot %2, which can be saved once the file can be written</source>
        <translation>
            <numerusform>%n weitere Kopie konnte nicht in %1 geschrieben werden; ihr Text steht in Fach %2, das gespeichert werden kann, sobald die Datei wieder beschreibbar ist</numerusform>
            <numerusform>%n weitere Kopien konnten nicht in %1 geschrieben werden; ihr Text steht in Fach %2, das gespeichert werden kann, sobald die Datei wieder beschreibbar ist</numerusform>
        </translation>
    </message>
    <message>
        <source>Switch Auto Clipstow to %1</source>
        <extracomment>A remote slot button&apos;s tool tip; %1 is the slot&apos;s file</extracomment>
        <translation>Auto-Clipstow auf %1 umstellen</translation>
    </message>
    <message>
        <source>Clipstow to %1</source>
        <translation>Übernehmen nach %1</translation>
    </message>
</context>
<context>
    <name>CommandHandlers</name>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>%1 was changed by another program, and this slot holds changes not yet saved.

Keep Both: the file&apos;s new text, then this slot&apos;s.
Reload File: the file&apos;s text; this slot&apos;s changes are dropped.</source>
        <extracomment>%1 is the slot&apos;s file</extracomment>
        <translation>%1 wurde von einem anderen Programm geändert, und dieses Fach enthält noch nicht gespeicherte Änderungen.

Beide behalten: der neue Text der Datei, danach der dieses Fachs.
Datei neu laden: der Text der Datei; die Änderungen dieses Fachs werden verworfen.</translation>
    </message>
    <message>
        <source>&amp;Keep Both</source>
        <translation>&amp;Beide behalten</translation>
    </message>
    <message>
        <source>&amp;Reload File</source>
        <translation>Datei &amp;neu laden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The slot &quot;%1&quot; holds changes not yet saved in %2.

Save them before Clipstow ends?</source>
        <extracomment>%1 is the slot&apos;s name (First, Second, Third), %2 its file</extracomment>
        <translation>Das Fach „%1“ enthält Änderungen, die noch nicht in %2 gespeichert sind.

Vor dem Beenden von Clipstow speichern?</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Clear <byte value="xd"/>
%1 ?</source>
        <translation><byte value="xd"/>
%1 leeren?</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was read.<byte value="xd"/>
Clear it anyway?</source>
        <translation>%1 wurde seit dem Lesen von einem anderen Programm geändert.<byte value="xd"/>
Trotzdem leeren?</translation>
    </message>
    <message>
        <source>Clear the Clipboard ?</source>
        <translation>Zwischenablage leeren?</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>invalid slot &apos;%1&apos; for --capture (1, 2 or 3)</source>
        <translation>ungültiges Fach „%1“ für --capture (1, 2 oder 3)</translation>
    </message>
    <message>
        <source>option --auto needs on, off or toggle</source>
        <translation>Option --auto braucht on, off oder toggle</translation>
    </message>
    <message>
        <source>invalid argument &apos;%1&apos; for --auto (on, off or toggle)</source>
        <translation>ungültiges Argument „%1“ für --auto (on, off oder toggle)</translation>
    </message>
    <message>
        <source>option %1 takes no argument</source>
        <translation>Option %1 nimmt kein Argument</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 und %2 können nicht zusammen angegeben werden</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>option %1 needs a value</source>
        <translation>Option %1 braucht einen Wert</translation>
    </message>
    <message>
        <source>clipstow: %1
%2
</source>
        <translation>clipstow: %1
%2
</translation>
    </message>
    <message>
        <source>Clipstow needs a graphical desktop (no display found)</source>
        <translation>Clipstow braucht einen grafischen Desktop (kein Display gefunden)</translation>
    </message>
    <message>
        <source>Try &apos;clipstow --help&apos; for more information.</source>
        <translation>„clipstow --help“ gibt weitere Informationen.</translation>
    </message>
    <message>
        <source>Usage: clipstow [OPTION]...
       clipstow COMMAND
       clipstow /uninstall
Collects clipboard text into three slot files; lives in the notification area.

Commands for the running Clipstow (for desktop shortcuts); each prints the
answer and exits 0, or 1 when it failed or no Clipstow runs:
      --capture [SLOT]
                     capture into slot 1, 2 or 3 (the active slot without
                     SLOT), as the remote window&apos;s slot button: in auto mode
                     it makes the slot the one auto mode captures into
      --auto on|off|toggle
                     switch auto mode
      --show         show the main window; starts Clipstow if none runs
      --remote       show the remote window
      --hide         hide the main window
      --quit         end Clipstow as &quot;Exit&quot; does

Options:
  -h, --help         show this help and exit
      --version      show the version and build date and exit
  /uninstall, -uninstall
                     remove Clipstow&apos;s settings and exit; only as the first
                     argument, in any letter case. Without a display the
                     message goes to standard output.
  -platform NAME, -display DISPLAY, -style NAME and the other options of
  the Qt toolkit are passed on to it.

Environment:
  CLIPSTOW_REGISTRY  the settings database to use instead of the default
  QT_QPA_PLATFORM    the Qt platform plugin; under Wayland Clipstow&apos;s windows use
                     xcb (XWayland) unless this is set, or wayland where
                     XWayland cannot be opened. Copies are seen through the
                     compositor&apos;s data-control protocol where it offers one,
                     else through XWayland, or on the wayland plugin only
                     while a Clipstow window is active
  DISPLAY, WAYLAND_DISPLAY
                     the display to run on; without one Clipstow exits

Files:
  $XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config/clipstow/...)
                     the settings; read and change them with clipstow-reg(1)
  Default1.txt, Default2.txt, Default3.txt
                     the slot files at the first start, in the folder Clipstow
                     was started from (the home folder from the desktop menu)

See clipstow(1) for more.
</source>
        <extracomment>The answer to clipstow --help; the options and names of variables and files stay as they are</extracomment>
        <translation>Aufruf: clipstow [OPTION]...
        clipstow BEFEHL
        clipstow /uninstall
Sammelt Text aus der Zwischenablage in drei Fachdateien; wohnt im Benachrichtigungsbereich.

Befehle an das laufende Clipstow (für Tastenkürzel des Desktops); jeder gibt die
Antwort aus und endet mit 0, oder mit 1, wenn er scheiterte oder kein Clipstow läuft:
      --capture [FACH]
                     in Fach 1, 2 oder 3 übernehmen (ohne FACH in das aktive
                     Fach), wie die Fach-Schaltfläche der Fernbedienung: im
                     Automatikmodus wird das Fach das, in das er übernimmt
      --auto on|off|toggle
                     den Automatikmodus schalten
      --show         das Hauptfenster zeigen; startet Clipstow, wenn keins läuft
      --remote       die Fernbedienung zeigen
      --hide         das Hauptfenster ausblenden
      --quit         Clipstow beenden wie „Beenden“

Optionen:
  -h, --help         diese Hilfe zeigen und beenden
      --version      Version und Build-Datum zeigen und beenden
  /uninstall, -uninstall
                     die Einstellungen von Clipstow entfernen und beenden; nur
                     als erstes Argument, in beliebiger Schreibung. Ohne Display
                     geht die Meldung auf die Standardausgabe.
  -platform NAME, -display DISPLAY, -style NAME und die übrigen Optionen des
  Qt-Toolkits werden an dieses weitergegeben.

Umgebung:
  CLIPSTOW_REGISTRY  die Einstellungsdatenbank, die statt der üblichen dient
  QT_QPA_PLATFORM    das Qt-Plattform-Plugin; unter Wayland nutzen die Fenster
                     von Clipstow xcb (XWayland), wenn dies nicht gesetzt ist,
                     oder wayland, wo XWayland nicht geöffnet werden kann. Kopien
                     werden über das Data-Control-Protokoll des Compositors
                     erkannt, wo er eins anbietet, sonst über XWayland, oder mit
                     dem wayland-Plugin nur, solange ein Clipstow-Fenster
                     aktiv ist
  DISPLAY, WAYLAND_DISPLAY
                     das Display, auf dem es läuft; ohne eins endet Clipstow

Dateien:
  $XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config/clipstow/...)
                     die Einstellungen; mit clipstow-reg(1) lesen und ändern
  Default1.txt, Default2.txt, Default3.txt
                     die Fachdateien beim ersten Start, im Ordner, aus dem
                     Clipstow gestartet wurde (aus dem Desktop-Menü der
                     Persönliche Ordner)

Mehr in clipstow(1).
</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Clipst&amp;ow</source>
        <translation>Clipst&amp;ow</translation>
    </message>
    <message>
        <source>Clipstow</source>
        <translation>Clipstow</translation>
    </message>
    <message>
        <source>E&amp;dit in Text Editor</source>
        <translation>Im &amp;Texteditor bearbeiten</translation>
    </message>
    <message>
        <source>Edit in Text Editor</source>
        <translation>Im Texteditor bearbeiten</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Hi&amp;de this window</source>
        <translation>&amp;Dieses Fenster ausblenden</translation>
    </message>
    <message>
        <source>Show &quot;Remote Control&quot;</source>
        <translation>„Fernbedienung“ zeigen</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>Status&amp;leiste</translation>
    </message>
    <message>
        <source>&amp;Font...</source>
        <translation>Schrift&amp;art …</translation>
    </message>
    <message>
        <source>Pr&amp;eferences...</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Auto Clips&amp;tow</source>
        <translation>Auto-Clips&amp;tow</translation>
    </message>
    <message>
        <source>&amp;Clear the Clipboard</source>
        <translation>Zwischenablage &amp;leeren</translation>
    </message>
    <message>
        <source>Clear the Clipboard</source>
        <translation>Zwischenablage leeren</translation>
    </message>
    <message>
        <source>&amp;Set Filename...</source>
        <translation>Datei&amp;namen festlegen …</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Über …</translation>
    </message>
    <message>
        <source>&amp;Support</source>
        <translation>&amp;Support</translation>
    </message>
    <message>
        <source>Auto Clipstow</source>
        <translation>Auto-Clipstow</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <source>Clipboard &amp;Viewer</source>
        <translation>Zwischenablage-&amp;Anzeige</translation>
    </message>
    <message>
        <source>A&amp;uto Clipstow</source>
        <translation>A&amp;uto-Clipstow</translation>
    </message>
    <message>
        <source>Edit in &amp;Text Editor</source>
        <translation>Im &amp;Texteditor bearbeiten</translation>
    </message>
    <message>
        <source>Cli&amp;pstow</source>
        <translation>Cli&amp;pstow</translation>
    </message>
    <message>
        <source>&amp;Show &quot;remote control&quot;</source>
        <translation>„Fernbedienung“ &amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Show the main window</source>
        <translation>Haupt&amp;fenster zeigen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>C&amp;opy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>Alles aus&amp;wählen</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Clear the Clipboar&amp;d</source>
        <translation>&amp;Zwischenablage leeren</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>Invalid syntax. Type &quot;clipstow-reg %1 /?&quot; for usage.</source>
        <translation>Ungültige Syntax. „clipstow-reg %1 /?“ zeigt die Verwendung.</translation>
    </message>
    <message>
        <source>(Yes/No)? </source>
        <translation>(Yes/No)? </translation>
    </message>
    <message>
        <source>Invalid key name.</source>
        <translation>Ungültiger Schlüsselname.</translation>
    </message>
</context>
<context>
    <name>DataControlClient</name>
    <message>
        <source>cannot connect to the Wayland display %1: %2</source>
        <translation>keine Verbindung zum Wayland-Display %1: %2</translation>
    </message>
    <message>
        <source>the Wayland compositor did not answer</source>
        <translation>der Wayland-Compositor hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the Wayland compositor offers no data-control protocol (ext_data_control_manager_v1 or zwlr_data_control_manager_v1)</source>
        <translation>der Wayland-Compositor bietet kein Data-Control-Protokoll an (ext_data_control_manager_v1 oder zwlr_data_control_manager_v1)</translation>
    </message>
    <message>
        <source>the Wayland compositor has no seat</source>
        <translation>der Wayland-Compositor hat keinen Seat</translation>
    </message>
    <message>
        <source>the connection to the Wayland compositor broke: %1</source>
        <translation>die Verbindung zum Wayland-Compositor ist abgebrochen: %1</translation>
    </message>
    <message>
        <source>the Wayland compositor withdrew its clipboard</source>
        <translation>der Wayland-Compositor hat seine Zwischenablage zurückgezogen</translation>
    </message>
    <message>
        <source>the Wayland compositor ended the clipboard device</source>
        <translation>der Wayland-Compositor hat das Zwischenablage-Gerät beendet</translation>
    </message>
</context>
<context>
    <name>Edit</name>
    <message>
        <source>Invalid data &quot;%1&quot; for %2.</source>
        <translation>Ungültige Daten „%1“ für %2.</translation>
    </message>
    <message>
        <source>Invalid type %1.</source>
        <translation>Ungültiger Typ %1.</translation>
    </message>
    <message>
        <source>Invalid key name.</source>
        <translation>Ungültiger Schlüsselname.</translation>
    </message>
    <message>
        <source>Value %1 exists, overwrite</source>
        <translation>Wert %1 ist vorhanden, überschreiben</translation>
    </message>
    <message>
        <source>Cannot set %1 in %2.</source>
        <translation>%1 kann in %2 nicht gesetzt werden.</translation>
    </message>
    <message>
        <source>A root key cannot be deleted.</source>
        <translation>Ein Stammschlüssel kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>Permanently delete the registry key %1 </source>
        <translation>Registrierungsschlüssel %1 endgültig löschen </translation>
    </message>
    <message>
        <source>Delete all values under the registry key %1 </source>
        <translation>Alle Werte unter dem Registrierungsschlüssel %1 löschen </translation>
    </message>
    <message>
        <source>Delete the registry value %1 </source>
        <translation>Registrierungswert %1 löschen </translation>
    </message>
</context>
<context>
    <name>EditorLaunch</name>
    <message>
        <source>Cannot start the default program for %1</source>
        <translation>Das Standardprogramm für %1 kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>Cannot start %1</source>
        <translation>%1 kann nicht gestartet werden</translation>
    </message>
</context>
<context>
    <name>ErrorReporter</name>
    <message>
        <source>%1 (once more)</source>
        <translation>%1 (noch einmal)</translation>
    </message>
    <message>
        <source>%1 (%2 more times)</source>
        <translation>%1 (noch %2 Mal)</translation>
    </message>
</context>
<context>
    <name>FirstRun</name>
    <message>
        <source>Support: </source>
        <translation>Support: </translation>
    </message>
    <message>
        <source>Web site: </source>
        <translation>Website: </translation>
    </message>
    <message>
        <source>%1 %2
%3
%4
This is the first time %1 runs. Running it requires that you accept the terms below; please read them first.

WHAT CLIPSTOW DOES BY DEFAULT
Auto mode is on. While it is on, %1 captures every text you copy in any program: it adds the text, under a line with the date and time, to the active slot&apos;s file. The slot files are, in the folder %1 was started from:
%5
What is captured stays in these files until you delete it. The main window starts hidden; the tray icon brings it back.
To switch auto mode off, press F5 in the main window (Options, &quot;Auto Clipstow&quot;), click the toolbar&apos;s &quot;Auto Clipstow&quot; button, or choose &quot;Auto Clipstow&quot; in the tray icon&apos;s menu.

TERMS
%6
LIMITED WARRANTY AND DISCLAIMER
%1 is given to you free of charge and without any warranty, as the last paragraph of the licence above says. You use it at your own risk: keep copies of what matters to you, and do not let it capture what others must not read.

ACKNOWLEDGMENT
By choosing &quot;I Accept&quot; you acknowledge that you have read these terms and what %1 does by default, and that you agree to them. If you choose &quot;I Do Not Accept&quot;, %1 ends now without capturing anything and asks again at its next start.
</source>
        <translation>%1 %2
%3
%4
Dies ist der erste Start von %1. Um es zu verwenden, müssen Sie den folgenden Bedingungen zustimmen; bitte lesen Sie sie zuerst.

WAS CLIPSTOW VON SICH AUS TUT
Der Automatikmodus ist eingeschaltet. Solange er eingeschaltet ist, übernimmt %1 jeden Text, den Sie in irgendeinem Programm kopieren: Es fügt den Text unter einer Zeile mit Datum und Uhrzeit an die Datei des aktiven Fachs an. Die Fachdateien liegen in dem Ordner, aus dem %1 gestartet wurde:
%5
Was übernommen wurde, bleibt in diesen Dateien, bis Sie es löschen. Das Hauptfenster startet ausgeblendet; das Symbol im Benachrichtigungsbereich holt es zurück.
Um den Automatikmodus auszuschalten, drücken Sie F5 im Hauptfenster (Optionen, „Auto-Clipstow“), klicken Sie die Schaltfläche „Auto-Clipstow“ der Symbolleiste an oder wählen Sie „Auto-Clipstow“ im Menü des Symbols im Benachrichtigungsbereich.

BEDINGUNGEN
%6
EINGESCHRÄNKTE GEWÄHRLEISTUNG UND HAFTUNGSAUSSCHLUSS
%1 wird Ihnen kostenlos und ohne jede Gewährleistung überlassen, wie der letzte Absatz der obigen Lizenz sagt. Sie benutzen es auf eigene Gefahr: Bewahren Sie Kopien dessen auf, was Ihnen wichtig ist, und lassen Sie es nichts übernehmen, was andere nicht lesen dürfen.

BESTÄTIGUNG
Mit „Ich stimme zu“ bestätigen Sie, dass Sie diese Bedingungen und das, was %1 von sich aus tut, gelesen haben und ihnen zustimmen. Wählen Sie „Ich stimme nicht zu“, endet %1 jetzt, ohne etwas zu übernehmen, und fragt beim nächsten Start erneut.
</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Clipstow Help</source>
        <translation>Clipstow-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>&amp;Features</source>
        <translation>&amp;Funktionen</translation>
    </message>
    <message>
        <source>&amp;How to use</source>
        <translation>&amp;Bedienung</translation>
    </message>
    <message>
        <source>&amp;More</source>
        <translation>&amp;Mehr</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Lizenz</translation>
    </message>
    <message>
        <source>&amp;Website</source>
        <translation>&amp;Website</translation>
    </message>
    <message>
        <source>This demonstrates Clipstow icons in different states of Auto Clipstow</source>
        <translation>Die Symbole von Clipstow in den Zuständen von Auto-Clipstow</translation>
    </message>
    <message>
        <source>- Auto Clipstow is DISABLED</source>
        <translation>– Auto-Clipstow ist AUS</translation>
    </message>
    <message>
        <source>- Auto Clipstow is ENABLED</source>
        <translation>– Auto-Clipstow ist EIN</translation>
    </message>
    <message>
        <source>Cannot open resource </source>
        <translation>Ressource kann nicht geöffnet werden: </translation>
    </message>
</context>
<context>
    <name>Icons</name>
    <message>
        <source>Cannot read the splash picture</source>
        <translation>Das Startbild kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>InstanceCommands</name>
    <message>
        <source>Clipstow did not answer</source>
        <translation>Clipstow hat nicht geantwortet</translation>
    </message>
    <message>
        <source>The main window is shown</source>
        <translation>Das Hauptfenster wird gezeigt</translation>
    </message>
    <message>
        <source>The remote window is shown</source>
        <translation>Die Fernbedienung wird gezeigt</translation>
    </message>
    <message>
        <source>The main window is minimised (no notification area to hide it in)</source>
        <translation>Das Hauptfenster ist minimiert (kein Benachrichtigungsbereich, in dem es verschwinden könnte)</translation>
    </message>
    <message>
        <source>The main window is hidden</source>
        <translation>Das Hauptfenster ist ausgeblendet</translation>
    </message>
    <message>
        <source>Clipstow does not know the request &quot;%1&quot;</source>
        <translation>Clipstow kennt die Anfrage „%1“ nicht</translation>
    </message>
    <message>
        <source>There is no slot %1 (only 1, 2 and 3)</source>
        <translation>Es gibt kein Fach %1 (nur 1, 2 und 3)</translation>
    </message>
    <message>
        <source>slot %1 (%2)</source>
        <translation>Fach %1 (%2)</translation>
    </message>
    <message>
        <source>Captured into %1</source>
        <translation>Übernommen in %1</translation>
    </message>
    <message>
        <source>No text in the Clipboard: nothing captured into %1</source>
        <translation>Kein Text in der Zwischenablage: nichts übernommen in %1</translation>
    </message>
    <message>
        <source>Auto mode captures into %1</source>
        <translation>Der Automatikmodus übernimmt in %1</translation>
    </message>
    <message>
        <source>Auto mode can be on, off or toggle, not &quot;%1&quot;</source>
        <translation>Der Automatikmodus kann on, off oder toggle sein, nicht „%1“</translation>
    </message>
    <message>
        <source>Auto mode is on</source>
        <translation>Der Automatikmodus ist ein</translation>
    </message>
    <message>
        <source>Auto mode is off</source>
        <translation>Der Automatikmodus ist aus</translation>
    </message>
    <message>
        <source>Clipstow has ended</source>
        <translation>Clipstow ist beendet</translation>
    </message>
    <message>
        <source>Clipstow has ended; the unsaved text of slot %1 was kept in a file next to the slot&apos;s file</source>
        <translation>Clipstow ist beendet; der nicht gespeicherte Text von Fach %1 wurde in einer Datei neben der Datei des Fachs aufbewahrt</translation>
    </message>
    <message>
        <source>Clipstow goes on running: ending it was cancelled</source>
        <translation>Clipstow läuft weiter: das Beenden wurde abgebrochen</translation>
    </message>
    <message>
        <source>Clipstow did not answer within %1 seconds</source>
        <translation>Clipstow hat nicht innerhalb von %1 Sekunden geantwortet</translation>
    </message>
    <message>
        <source>Clipstow is waiting for its licence agreement</source>
        <translation>Clipstow wartet auf die Annahme seines Lizenzvertrags</translation>
    </message>
    <message>
        <source>Clipstow is waiting for an answer to its message</source>
        <translation>Clipstow wartet auf eine Antwort auf seine Meldung</translation>
    </message>
    <message>
        <source>The program that copied did not deliver the text: nothing captured into %1</source>
        <translation>Das Programm, aus dem kopiert wurde, hat den Text nicht geliefert: nichts übernommen in %1</translation>
    </message>
    <message>
        <source>Nothing captured into %1: Clipstow shows why</source>
        <translation>Nichts übernommen in %1: Clipstow zeigt, warum</translation>
    </message>
    <message>
        <source>Clipstow is not running</source>
        <translation>Clipstow läuft nicht</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>First</source>
        <extracomment>The slots&apos; names, on their tabs</extracomment>
        <translation>Erstes</translation>
    </message>
    <message>
        <source>Second</source>
        <translation>Zweites</translation>
    </message>
    <message>
        <source>Third</source>
        <translation>Drittes</translation>
    </message>
    <message>
        <source>Clear %1</source>
        <extracomment>The Clear button&apos;s tool tip; %1 is the active slot&apos;s file name</extracomment>
        <translation>%1 leeren</translation>
    </message>
    <message>
        <source>H i d e</source>
        <translation>A u s b l e n d e n</translation>
    </message>
    <message>
        <source>Hide this window</source>
        <extracomment>The hide panel&apos;s name for screen readers, which read its spaced-out caption letter by letter</extracomment>
        <translation>Dieses Fenster ausblenden</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Text of slot %1</source>
        <extracomment>The slot&apos;s text for screen readers; %1 is the slot&apos;s name (First, Second, Third)</extracomment>
        <translation>Text von Fach %1</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statusleiste</translation>
    </message>
</context>
<context>
    <name>MainWindowMenus</name>
    <message>
        <source>Hide this window</source>
        <translation>Dieses Fenster ausblenden</translation>
    </message>
</context>
<context>
    <name>NullWaylandClipboard</name>
    <message>
        <source>WAYLAND_DISPLAY is not set</source>
        <translation>WAYLAND_DISPLAY ist nicht gesetzt</translation>
    </message>
    <message>
        <source>this build of Clipstow has no Wayland client library</source>
        <translation>dieser Build von Clipstow hat keine Wayland-Client-Bibliothek</translation>
    </message>
</context>
<context>
    <name>PreferencesDialog</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Select...</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>&amp;Allgemein</translation>
    </message>
    <message>
        <source>&amp;Load when starting the desktop</source>
        <translation>Beim Start des Desktops &amp;laden</translation>
    </message>
    <message>
        <source>Show s&amp;plash screen</source>
        <translation>Start&amp;bild zeigen</translation>
    </message>
    <message>
        <source>&amp;Hide on startup</source>
        <translation>Beim Start &amp;verbergen</translation>
    </message>
    <message>
        <source>&amp;Confirmation boxes</source>
        <translation>&amp;Rückfragen</translation>
    </message>
    <message>
        <source>If this item is checked Clipstow will ask your confirmation
before clearing files or the Clipboard.</source>
        <translation>Ist dies angekreuzt, fragt Clipstow nach, bevor es
Dateien oder die Zwischenablage leert.</translation>
    </message>
    <message>
        <source>&quot;&amp;Auto Clipstow&quot; Feature</source>
        <translation>Funktion „Auto-Clips&amp;tow“</translation>
    </message>
    <message>
        <source>R&amp;emember last state</source>
        <translation>Letzten Zustand &amp;merken</translation>
    </message>
    <message>
        <source>Always &quot;&amp;On&quot; on startup</source>
        <translation>Beim Start immer „&amp;Ein“</translation>
    </message>
    <message>
        <source>Always &quot;O&amp;ff&quot; on startup</source>
        <translation>Beim Start immer „A&amp;us“</translation>
    </message>
    <message>
        <source>T&amp;urn &quot;Auto Clipstow&quot; off when editing</source>
        <translation>„Auto-Clipstow“ beim Bearbeiten a&amp;bschalten</translation>
    </message>
    <message>
        <source>&amp;Date Style</source>
        <translation>&amp;Datumsformat</translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t save date and time</source>
        <translation>Datum und Uhrzeit &amp;nicht speichern</translation>
    </message>
    <message>
        <source>&quot;&amp;Remote Control&quot;</source>
        <translation>„&amp;Fernbedienung“</translation>
    </message>
    <message>
        <source>Always sho&amp;w on startup</source>
        <translation>Beim Start immer &amp;zeigen</translation>
    </message>
    <message>
        <source>Always &amp;hide on startup</source>
        <translation>Beim Start immer &amp;verbergen</translation>
    </message>
    <message>
        <source>&amp;Sound</source>
        <translation>&amp;Klang</translation>
    </message>
    <message>
        <source>&amp;Use default sound</source>
        <translation>Standardklang &amp;verwenden</translation>
    </message>
    <message>
        <source>Click to play</source>
        <translation>Zum Abspielen klicken</translation>
    </message>
    <message>
        <source>Please choose the wave file that will be played after each
clipstowing.</source>
        <translation>Bitte die WAV-Datei wählen, die nach jeder Übernahme
abgespielt wird.</translation>
    </message>
    <message>
        <source>&amp;Text Editor</source>
        <translation>Te&amp;xteditor</translation>
    </message>
    <message>
        <source>Use default &amp;editor</source>
        <translation>Standard&amp;editor verwenden</translation>
    </message>
    <message>
        <source>Please choose the application that will be launched
when you click &quot;Edit in Text Editor&quot;.</source>
        <translation>Bitte das Programm wählen, das bei einem Klick auf
„Im Texteditor bearbeiten“ gestartet wird.</translation>
    </message>
    <message>
        <source>&amp;Like this: </source>
        <translation>&amp;So: </translation>
    </message>
    <message>
        <source>Li&amp;ke this: </source>
        <translation>Oder s&amp;o: </translation>
    </message>
    <message>
        <source>Wave files (*.wav)</source>
        <translation>WAV-Dateien (*.wav)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>ProgramInfo</name>
    <message>
        <source>Cannot read the licence text</source>
        <translation>Der Lizenztext kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>Query</name>
    <message>
        <source>End of search: %1 match(es) found.</source>
        <translation>Suche beendet: %1 Treffer gefunden.</translation>
    </message>
</context>
<context>
    <name>RegFile</name>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>unexpected text</source>
        <translation>unerwarteter Text</translation>
    </message>
    <message>
        <source>the first line must be &quot;%1&quot; or &quot;%2&quot;</source>
        <translation>die erste Zeile muss „%1“ oder „%2“ sein</translation>
    </message>
    <message>
        <source>a key name must end with ]</source>
        <translation>ein Schlüsselname muss mit ] enden</translation>
    </message>
    <message>
        <source>unknown root key in [%1]</source>
        <translation>unbekannter Stammschlüssel in [%1]</translation>
    </message>
    <message>
        <source>empty key name in [%1]</source>
        <translation>leerer Schlüsselname in [%1]</translation>
    </message>
    <message>
        <source>a root key cannot be deleted</source>
        <translation>ein Stammschlüssel kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>unknown escape \%1 in a string</source>
        <translation>unbekannte Escape-Folge \%1 in einer Zeichenkette</translation>
    </message>
    <message>
        <source>a string is not closed</source>
        <translation>eine Zeichenkette ist nicht geschlossen</translation>
    </message>
    <message>
        <source>a value outside a key section</source>
        <translation>ein Wert außerhalb eines Schlüsselabschnitts</translation>
    </message>
    <message>
        <source>= expected after the value name</source>
        <translation>= nach dem Wertnamen erwartet</translation>
    </message>
    <message>
        <source>unexpected text after -</source>
        <translation>unerwarteter Text nach -</translation>
    </message>
    <message>
        <source>unexpected text after a string</source>
        <translation>unerwarteter Text nach einer Zeichenkette</translation>
    </message>
    <message>
        <source>unknown value data</source>
        <translation>unbekannte Wertdaten</translation>
    </message>
    <message>
        <source>hex data needs a colon</source>
        <translation>Hex-Daten brauchen einen Doppelpunkt</translation>
    </message>
    <message>
        <source>unknown hex type %1</source>
        <translation>unbekannter Hex-Typ %1</translation>
    </message>
    <message>
        <source>hex data breaks off</source>
        <translation>Hex-Daten brechen ab</translation>
    </message>
    <message>
        <source>bad byte &quot;%1&quot; in hex data</source>
        <translation>ungültiges Byte „%1“ in Hex-Daten</translation>
    </message>
</context>
<context>
    <name>RegTools</name>
    <message>
        <source>Invalid data type for &apos;%s&apos;</source>
        <translation>Ungültiger Datentyp für „%s“</translation>
    </message>
    <message>
        <source>Failed to get data for &apos;%s&apos;</source>
        <translation>Daten für „%s“ konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%s&apos;</source>
        <translation>Daten für „%s“ konnten nicht gesetzt werden</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1.</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden: %1.</translation>
    </message>
</context>
<context>
    <name>RegistryLayout</name>
    <message>
        <source>Clipstow&apos;s values, by key (NAME  TYPE  default: DEFAULT, then what it means):
</source>
        <translation>Die Werte von Clipstow nach Schlüssel (NAME  TYP  Vorgabe: VORGABE, dann die Bedeutung):
</translation>
    </message>
    <message>
        <source>  %1  %2  default: %3
</source>
        <translation>  %1  %2  Vorgabe: %3
</translation>
    </message>
    <message>
        <source>HKCU\%1\%2 and HKCU\%1\%3 keep the placement of the main window and of the remote control window.</source>
        <translation>HKCU\%1\%2 und HKCU\%1\%3 halten die Lage des Hauptfensters und der Fernbedienung fest.</translation>
    </message>
</context>
<context>
    <name>RegistryStore</name>
    <message>
        <source>registry database: %1</source>
        <translation>Registrierungsdatenbank: %1</translation>
    </message>
    <message>
        <source>the registry file %1 is in use by another program</source>
        <translation>die Registrierungsdatei %1 wird von einem anderen Programm benutzt</translation>
    </message>
    <message>
        <source>the registry file %1 was in use by another program when the settings were read</source>
        <translation>die Registrierungsdatei %1 wurde beim Lesen der Einstellungen von einem anderen Programm benutzt</translation>
    </message>
    <message>
        <source>the registry file %1 may be read but not written</source>
        <translation>die Registrierungsdatei %1 darf gelesen, aber nicht geschrieben werden</translation>
    </message>
    <message>
        <source>it is a database of another program</source>
        <translation>sie ist eine Datenbank eines anderen Programms</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>sie ist beschädigt</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot open %1</source>
        <translation>%1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>the registry file %1 is not usable (%2) and cannot be moved aside: %3</source>
        <translation>die Registrierungsdatei %1 ist unbrauchbar (%2) und kann nicht beiseitegelegt werden: %3</translation>
    </message>
    <message>
        <source>Warning: the registry file %1 is not usable (%2); it was moved to %3 and a fresh registry is started.
</source>
        <translation>Warnung: Die Registrierungsdatei %1 ist unbrauchbar (%2); sie wurde nach %3 verschoben, und eine neue Registrierung wird begonnen.
</translation>
    </message>
</context>
<context>
    <name>RegistryStoreKeys</name>
    <message>
        <source>a key lies more than %1 levels deep</source>
        <translation>ein Schlüssel liegt mehr als %1 Ebenen tief</translation>
    </message>
    <message>
        <source>empty key name</source>
        <translation>leerer Schlüsselname</translation>
    </message>
    <message>
        <source>a key name is longer than %1 characters</source>
        <translation>ein Schlüsselname ist länger als %1 Zeichen</translation>
    </message>
</context>
<context>
    <name>RemoteWindow</name>
    <message>
        <source>Auto Clipstow</source>
        <translation>Auto-Clipstow</translation>
    </message>
    <message>
        <source>Capture into slot %1</source>
        <extracomment>A slot button&apos;s name for screen readers; %1 is the slot&apos;s number</extracomment>
        <translation>In Fach %1 übernehmen</translation>
    </message>
    <message>
        <source>Auto Clipstow: on</source>
        <translation>Auto-Clipstow: ein</translation>
    </message>
    <message>
        <source>Auto Clipstow: off</source>
        <translation>Auto-Clipstow: aus</translation>
    </message>
</context>
<context>
    <name>SaveSound</name>
    <message>
        <source>Cannot read CHIMES_WAV</source>
        <translation>CHIMES_WAV kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>Clipstow cannot make sure that it runs only once on this display (%1); it starts anyway.</source>
        <translation>Clipstow kann nicht sicherstellen, dass es auf diesem Display nur einmal läuft (%1); es startet trotzdem.</translation>
    </message>
    <message>
        <source>cannot create the lock file %1.lock</source>
        <translation>die Sperrdatei %1.lock kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>SlotEditorPrint</name>
    <message>
        <source>Cannot print %s</source>
        <translation>%s kann nicht gedruckt werden</translation>
    </message>
</context>
<context>
    <name>SlotFile</name>
    <message>
        <source>Cannot create file %s</source>
        <translation>Datei %s kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Failed to Save Stream</source>
        <translation>Speichern fehlgeschlagen</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine normale Datei</translation>
    </message>
    <message>
        <source>Cannot open file %s</source>
        <translation>Datei %s kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Failed to Load Stream</source>
        <translation>Laden fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>SlotFileAtomic</name>
    <message>
        <source>%s was changed by another program and was not overwritten</source>
        <translation>%s wurde von einem anderen Programm geändert und nicht überschrieben</translation>
    </message>
    <message>
        <source>no place for its lock</source>
        <translation>kein Platz für die Sperre</translation>
    </message>
    <message>
        <source>another Clipstow was writing it</source>
        <translation>ein anderes Clipstow schrieb gerade hinein</translation>
    </message>
</context>
<context>
    <name>SlotFileWriter</name>
    <message>
        <source>%s is longer than the editor holds: only text added at its end can be saved</source>
        <translation>%s ist länger, als der Editor fasst: nur am Ende angefügter Text kann gespeichert werden</translation>
    </message>
</context>
<context>
    <name>SlotFindDialog</name>
    <message>
        <source>Match &amp;whole word only</source>
        <translation>Nur ganze &amp;Wörter</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>&amp;Aufwärts</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>A&amp;bwärts</translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation>&amp;Nächste suchen</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>Such&amp;en nach:</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>SlotPage</name>
    <message>
        <source>Click to change</source>
        <translation>Zum Ändern klicken</translation>
    </message>
    <message>
        <source>This file is longer than the editor holds: only its end is shown, and it cannot be edited here. Captures are added to the file whole. Choose another file for the slot to edit again.</source>
        <translation>Diese Datei ist länger, als der Editor fasst: nur ihr Ende wird gezeigt, und sie kann hier nicht bearbeitet werden. Übernahmen werden vollständig an die Datei angefügt. Wählen Sie eine andere Datei für das Fach, um wieder zu bearbeiten.</translation>
    </message>
</context>
<context>
    <name>SplashLayout</name>
    <message>
        <source>Build %1</source>
        <translation>Build %1</translation>
    </message>
</context>
<context>
    <name>SplashWindow</name>
    <message>
        <source>Clipstow Splash</source>
        <translation>Clipstow-Startbild</translation>
    </message>
    <message>
        <source>Cannot decode the splash picture</source>
        <translation>Das Startbild kann nicht entschlüsselt werden</translation>
    </message>
    <message>
        <source>Web site</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Clipstow registry data removed</source>
        <translation>Registrierungsdaten von Clipstow entfernt</translation>
    </message>
    <message>
        <source>Uninstall</source>
        <translation>Deinstallieren</translation>
    </message>
    <message>
        <source>No notification area: the main window stays open</source>
        <translation>Kein Benachrichtigungsbereich: Das Hauptfenster bleibt offen</translation>
    </message>
    <message>
        <source>this desktop offers no XWayland</source>
        <translation>dieser Desktop kein XWayland anbietet</translation>
    </message>
    <message>
        <source>XWayland (%1) could not be opened</source>
        <translation>XWayland (%1) nicht geöffnet werden konnte</translation>
    </message>
    <message>
        <source>QT_QPA_PLATFORM asks for it</source>
        <translation>QT_QPA_PLATFORM es verlangt</translation>
    </message>
    <message>
        <source>Clipstow&apos;s windows run on Wayland itself, as %1: the remote window cannot stay on top of other windows, and windows cannot be put back where they were</source>
        <translation>Die Fenster von Clipstow laufen direkt auf Wayland, da %1: Die Fernbedienung kann nicht über anderen Fenstern bleiben, und Fenster können nicht an ihren alten Platz zurückgesetzt werden</translation>
    </message>
</context>
<context>
    <name>Transfer</name>
    <message>
        <source>Error opening the file %1: %2</source>
        <translation>Fehler beim Öffnen der Datei %1: %2</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine normale Datei</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>sie ist größer als %1 MB</translation>
    </message>
    <message>
        <source>Error reading the file %1: %2</source>
        <translation>Fehler beim Lesen der Datei %1: %2</translation>
    </message>
    <message>
        <source>File %1 already exists. Overwrite </source>
        <translation>Die Datei %1 ist bereits vorhanden. Überschreiben </translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a valid registry script: line %2: %3. Nothing was imported.</source>
        <translation>%1 ist kein gültiges Registrierungsskript: Zeile %2: %3. Nichts wurde importiert.</translation>
    </message>
</context>
<context>
    <name>WaylandClipboardSource</name>
    <message>
        <source>WAYLAND_DISPLAY is not set</source>
        <translation>WAYLAND_DISPLAY ist nicht gesetzt</translation>
    </message>
</context>
<context>
    <name>clipstow-reg</name>
    <message>
        <source>Invalid syntax. Type &quot;clipstow-reg /?&quot; for usage.</source>
        <translation>Ungültige Syntax. „clipstow-reg /?“ zeigt die Verwendung.</translation>
    </message>
    <message>
        <source>clipstow-reg OPERATION [parameters]

  query KEY [/v NAME | /ve] [/s]
  add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
  delete KEY [/v NAME | /ve | /va] [/f]
  export KEY FILE [/y]
  import FILE

KEY is ROOT\SubKey with ROOT one of HKLM, HKCU, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER.
TYPE is REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD or
REG_QWORD. The store is $CLIPSTOW_REGISTRY, else
$XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config when unset).
/?, -h or --help shows this text; --version the version.
</source>
        <extracomment>The answer to clipstow-reg /?; operations, switches, key and type names stay as they are</extracomment>
        <translation>clipstow-reg OPERATION [Parameter]

  query KEY [/v NAME | /ve] [/s]
  add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
  delete KEY [/v NAME | /ve | /va] [/f]
  export KEY FILE [/y]
  import FILE

KEY ist ROOT\SubKey, ROOT einer von HKLM, HKCU, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER.
TYPE ist REG_SZ (Vorgabe), REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD oder
REG_QWORD. Der Speicher ist $CLIPSTOW_REGISTRY, sonst
$XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config, wenn nicht gesetzt).
/?, -h oder --help zeigt diesen Text; --version die Version.
</translation>
    </message>
</context>
</TS>
