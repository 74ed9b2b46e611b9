<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AgreementDialog</name>
    <message>
        <source>Clipstow License Agreement</source>
        <translation>Contrat de licence de Clipstow</translation>
    </message>
    <message>
        <source>I Accept</source>
        <translation>J’accepte</translation>
    </message>
    <message>
        <source>I Do Not Accept</source>
        <translation>Je refuse</translation>
    </message>
    <message>
        <source>Terms</source>
        <extracomment>The agreement&apos;s text for screen readers</extracomment>
        <translation>Conditions</translation>
    </message>
</context>
<context>
    <name>ClipboardMonitor</name>
    <message>
        <source>Not captured: the program that copied did not deliver the text</source>
        <translation>Non capturé&#x202f;: le programme d’où vient la copie n’a pas livré le texte</translation>
    </message>
    <message>
        <source>Not captured: the copied text is larger than %1</source>
        <translation>Non capturé&#x202f;: le texte copié dépasse %1</translation>
    </message>
    <message>
        <source>Not captured: the next copy came before the text of the one before was read</source>
        <translation>Non capturé&#x202f;: la copie suivante est arrivée avant que le texte de la précédente soit lu</translation>
    </message>
</context>
<context>
    <name>ClipboardSourceChooser</name>
    <message>
        <source>On this desktop auto mode may see only the copies made while a Clipstow window is active: %1</source>
        <translation>Sur ce bureau, le mode automatique ne voit peut-être que les copies faites pendant qu’une fenêtre de Clipstow est active&#x202f;: %1</translation>
    </message>
    <message>
        <source>the Wayland clipboard is watched again</source>
        <translation>le presse-papiers de Wayland est de nouveau surveillé</translation>
    </message>
    <message>
        <source>%1; the Wayland clipboard is watched again</source>
        <translation>%1&#x202f;; le presse-papiers de Wayland est de nouveau surveillé</translation>
    </message>
    <message>
        <source>%1; copies are now seen as on X11, and the Wayland clipboard is tried again</source>
        <translation>%1&#x202f;; les copies sont maintenant vues comme sous X11, et le presse-papiers de Wayland sera réessayé</translation>
    </message>
</context>
<context>
    <name>ClipboardViewer</name>
    <message>
        <source>Clipboard Viewer</source>
        <translation>Visionneuse du presse-papiers</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>The clipboard is empty.</source>
        <translation>Le presse-papiers est vide.</translation>
    </message>
    <message>
        <source>1 format:</source>
        <translation>1 format&#x202f;:</translation>
    </message>
    <message>
        <source>%1 formats:</source>
        <translation>%1 formats&#x202f;:</translation>
    </message>
    <message>
        <source>(no text)</source>
        <translation>(pas de texte)</translation>
    </message>
    <message>
        <source>

(The text goes on: %1 characters in all.)</source>
        <translation>

(Le texte continue&#x202f;: %1 caractères en tout.)</translation>
    </message>
    <message>
        <source>(hidden: marked secret by its owner)</source>
        <translation>(masqué&#x202f;: marqué secret par son propriétaire)</translation>
    </message>
    <message>
        <source>(not delivered)</source>
        <translation>(non livré)</translation>
    </message>
    <message>
        <source>Size</source>
        <extracomment>The column of each format&apos;s size in bytes</extracomment>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Formats</source>
        <extracomment>The list of the clipboard&apos;s formats, for screen readers</extracomment>
        <translation>Formats</translation>
    </message>
    <message>
        <source>Clipboard text</source>
        <extracomment>The clipboard&apos;s text, for screen readers</extracomment>
        <translation>Texte du presse-papiers</translation>
    </message>
</context>
<context>
    <name>Collector</name>
    <message>
        <source>Secret text on the Clipboard was not captured</source>
        <translation>Le texte secret du presse-papiers n’a pas été capturé</translation>
    </message>
    <message>
        <source>No text in the Clipboard</source>
        <translation>Pas de texte dans le presse-papiers</translation>
    </message>
    <message>
        <source>Auto clipstow to %1</source>
        <extracomment>The status hint; %1 is the active slot&apos;s file</extracomment>
        <translation>Capture automatique dans %1</translation>
    </message>
    <message>
        <source>Ready to clipstow to %1</source>
        <translation>Prêt à capturer dans %1</translation>
    </message>
    <message>
        <source>One more copy could not be written to %1; its text is in slot %2, which can be saved once the file can be written</source>
        <translation>Une copie de plus n’a pas pu être écrite dans %1&#x202f;; son texte est dans l’emplacement %2, qui pourra être enregistré dès que le fichier pourra être écrit</translation>
    </message>
    <message numerus="yes">
        <source>%n more copies could not be written to %1; their text is in slot %2, which can be saved once the file can be written</source>
        <translation>
            <numerusform>%n copie de plus n’a pas pu être écrite dans %1&#x202f;; son texte est dans l’emplacement %2, qui pourra être enregistré dès que le fichier pourra être écrit</numerusform>
            <numerusform>%n copies de plus n’ont pas pu être écrites dans %1&#x202f;; leur texte est dans l’emplacement %2, qui pourra être enregistré dès que le fichier pourra être écrit</numerusform>
        </translation>
    </message>
    <message>
        <source>Switch Auto Clipstow to %1</source>
        <extracomment>A remote slot button&apos;s tool tip; %1 is the slot&apos;s file</extracomment>
        <translation>Diriger Clipstow automatique vers %1</translation>
    </message>
    <message>
        <source>Clipstow to %1</source>
        <translation>Capturer dans %1</translation>
    </message>
</context>
<context>
    <name>CommandHandlers</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <source>%1 was changed by another program, and this slot holds changes not yet saved.

Keep Both: the file&apos;s new text, then this slot&apos;s.
Reload File: the file&apos;s text; this slot&apos;s changes are dropped.</source>
        <extracomment>%1 is the slot&apos;s file</extracomment>
        <translation>%1 a été modifié par un autre programme, et cet emplacement contient des modifications non enregistrées.

Garder les deux&#x202f;: le nouveau texte du fichier, puis celui de cet emplacement.
Recharger le fichier&#x202f;: le texte du fichier&#x202f;; les modifications de cet emplacement sont abandonnées.</translation>
    </message>
    <message>
        <source>&amp;Keep Both</source>
        <translation>&amp;Garder les deux</translation>
    </message>
    <message>
        <source>&amp;Reload File</source>
        <translation>&amp;Recharger le fichier</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>The slot &quot;%1&quot; holds changes not yet saved in %2.

Save them before Clipstow ends?</source>
        <extracomment>%1 is the slot&apos;s name (First, Second, Third), %2 its file</extracomment>
        <translation>L’emplacement «&#x202f;%1&#x202f;» contient des modifications non encore enregistrées dans %2.

Les enregistrer avant que Clipstow se termine&#x202f;?</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>Clear <byte value="xd"/>
%1 ?</source>
        <translation>Vider <byte value="xd"/>
%1&#x202f;?</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was read.<byte value="xd"/>
Clear it anyway?</source>
        <translation>%1 a été modifié par un autre programme depuis sa lecture.<byte value="xd"/>
Le vider quand même&#x202f;?</translation>
    </message>
    <message>
        <source>Clear the Clipboard ?</source>
        <translation>Vider le presse-papiers&#x202f;?</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>invalid slot &apos;%1&apos; for --capture (1, 2 or 3)</source>
        <translation>emplacement «&#x202f;%1&#x202f;» non valable pour --capture (1, 2 ou 3)</translation>
    </message>
    <message>
        <source>option --auto needs on, off or toggle</source>
        <translation>l’option --auto demande on, off ou toggle</translation>
    </message>
    <message>
        <source>invalid argument &apos;%1&apos; for --auto (on, off or toggle)</source>
        <translation>argument «&#x202f;%1&#x202f;» non valable pour --auto (on, off ou toggle)</translation>
    </message>
    <message>
        <source>option %1 takes no argument</source>
        <translation>l’option %1 ne prend pas d’argument</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 et %2 ne peuvent pas être donnés ensemble</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue «&#x202f;%1&#x202f;»</translation>
    </message>
    <message>
        <source>option %1 needs a value</source>
        <translation>l’option %1 demande une valeur</translation>
    </message>
    <message>
        <source>clipstow: %1
%2
</source>
        <translation>clipstow&#x202f;: %1
%2
</translation>
    </message>
    <message>
        <source>Clipstow needs a graphical desktop (no display found)</source>
        <translation>Clipstow a besoin d’un bureau graphique (aucun affichage trouvé)</translation>
    </message>
    <message>
        <source>Try &apos;clipstow --help&apos; for more information.</source>
        <translation>Essayez «&#x202f;clipstow --help&#x202f;» pour en savoir plus.</translation>
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
        <translation>Usage&amp;#x202f;: clipstow [OPTION]...
        clipstow COMMANDE
        clipstow /uninstall
Rassemble le texte du presse-papiers dans trois fichiers d’emplacement&amp;#x202f;; vit dans la zone de notification.

Commandes pour le Clipstow en cours (pour les raccourcis du bureau)&amp;#x202f;; chacune
affiche la réponse et sort avec 0, ou 1 en cas d’échec ou si aucun Clipstow ne tourne&amp;#x202f;:
      --capture [EMPLACEMENT]
                     capturer dans l’emplacement 1, 2 ou 3 (l’emplacement actif
                     sans EMPLACEMENT), comme le bouton de la télécommande&amp;#x202f;: en
                     mode automatique, l’emplacement devient celui où il capture
      --auto on|off|toggle
                     basculer le mode automatique
      --show         afficher la fenêtre principale&amp;#x202f;; lance Clipstow s’il ne tourne pas
      --remote       afficher la télécommande
      --hide         masquer la fenêtre principale
      --quit         terminer Clipstow comme «&amp;#x202f;Quitter&amp;#x202f;»

Options&amp;#x202f;:
  -h, --help         afficher cette aide et quitter
      --version      afficher la version et la date de construction et quitter
  /uninstall, -uninstall
                     supprimer les réglages de Clipstow et quitter&amp;#x202f;; seulement
                     comme premier argument, en majuscules ou minuscules. Sans
                     affichage, le message va sur la sortie standard.
  -platform NOM, -display AFFICHAGE, -style NOM et les autres options de la
  boîte à outils Qt lui sont transmises.

Environnement&amp;#x202f;:
  CLIPSTOW_REGISTRY  la base de réglages à utiliser au lieu de celle par défaut
  QT_QPA_PLATFORM    le greffon de plateforme Qt&amp;#x202f;; sous Wayland, les fenêtres de
                     Clipstow utilisent xcb (XWayland) s’il n’est pas défini, ou
                     wayland là où XWayland ne peut pas être ouvert. Les copies
                     sont vues par le protocole data-control du compositeur là
                     où il en offre un, sinon par XWayland, ou avec le greffon
                     wayland seulement pendant qu’une fenêtre de Clipstow est
                     active
  DISPLAY, WAYLAND_DISPLAY
                     l’affichage où tourner&amp;#x202f;; sans affichage, Clipstow se termine

Fichiers&amp;#x202f;:
  $XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config/clipstow/...)
                     les réglages&amp;#x202f;; lisez-les et modifiez-les avec clipstow-reg(1)
  Default1.txt, Default2.txt, Default3.txt
                     les fichiers d’emplacement au premier démarrage, dans le
                     dossier d’où Clipstow a été lancé (le dossier personnel
                     depuis le menu du bureau)

Voir clipstow(1) pour en savoir plus.
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
        <translation>Modifier dans l’éditeur de &amp;texte</translation>
    </message>
    <message>
        <source>Edit in Text Editor</source>
        <translation>Modifier dans l’éditeur de texte</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous…</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer…</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Hi&amp;de this window</source>
        <translation>&amp;Masquer cette fenêtre</translation>
    </message>
    <message>
        <source>Show &quot;Remote Control&quot;</source>
        <translation>Afficher la «&#x202f;télécommande&#x202f;»</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Barre d’outils</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>Barre d’é&amp;tat</translation>
    </message>
    <message>
        <source>&amp;Font...</source>
        <translation>&amp;Police…</translation>
    </message>
    <message>
        <source>Pr&amp;eferences...</source>
        <translation>&amp;Préférences…</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Auto Clips&amp;tow</source>
        <translation>Clips&amp;tow automatique</translation>
    </message>
    <message>
        <source>&amp;Clear the Clipboard</source>
        <translation>&amp;Vider le presse-papiers</translation>
    </message>
    <message>
        <source>Clear the Clipboard</source>
        <translation>Vider le presse-papiers</translation>
    </message>
    <message>
        <source>&amp;Set Filename...</source>
        <translation>&amp;Nom du fichier…</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Rechercher…</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Rechercher le &amp;suivant</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos…</translation>
    </message>
    <message>
        <source>&amp;Support</source>
        <translation>A&amp;ssistance</translation>
    </message>
    <message>
        <source>Auto Clipstow</source>
        <translation>Clipstow automatique</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À pr&amp;opos</translation>
    </message>
    <message>
        <source>Clipboard &amp;Viewer</source>
        <translation>Visio&amp;nneuse du presse-papiers</translation>
    </message>
    <message>
        <source>A&amp;uto Clipstow</source>
        <translation>Clipstow a&amp;utomatique</translation>
    </message>
    <message>
        <source>Edit in &amp;Text Editor</source>
        <translation>Modifier dans l’éditeur de &amp;texte</translation>
    </message>
    <message>
        <source>Cli&amp;pstow</source>
        <translation>Cli&amp;pstow</translation>
    </message>
    <message>
        <source>&amp;Show &quot;remote control&quot;</source>
        <translation>Affic&amp;her la «&#x202f;télécommande&#x202f;»</translation>
    </message>
    <message>
        <source>&amp;Show the main window</source>
        <translation>Afficher la &amp;fenêtre principale</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>C&amp;opy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>Tout &amp;sélectionner</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Effacer</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Clear the Clipboar&amp;d</source>
        <translation>Vider le &amp;presse-papiers</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>Invalid syntax. Type &quot;clipstow-reg %1 /?&quot; for usage.</source>
        <translation>Syntaxe non valable. Tapez «&#x202f;clipstow-reg %1 /?&#x202f;» pour l’utilisation.</translation>
    </message>
    <message>
        <source>(Yes/No)? </source>
        <translation>(Yes/No)? </translation>
    </message>
    <message>
        <source>Invalid key name.</source>
        <translation>Nom de clé non valable.</translation>
    </message>
</context>
<context>
    <name>DataControlClient</name>
    <message>
        <source>cannot connect to the Wayland display %1: %2</source>
        <translation>connexion impossible à l’affichage Wayland %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>the Wayland compositor did not answer</source>
        <translation>le compositeur Wayland n’a pas répondu</translation>
    </message>
    <message>
        <source>the Wayland compositor offers no data-control protocol (ext_data_control_manager_v1 or zwlr_data_control_manager_v1)</source>
        <translation>le compositeur Wayland n’offre aucun protocole data-control (ext_data_control_manager_v1 ou zwlr_data_control_manager_v1)</translation>
    </message>
    <message>
        <source>the Wayland compositor has no seat</source>
        <translation>le compositeur Wayland n’a pas de siège</translation>
    </message>
    <message>
        <source>the connection to the Wayland compositor broke: %1</source>
        <translation>la connexion au compositeur Wayland a été rompue&#x202f;: %1</translation>
    </message>
    <message>
        <source>the Wayland compositor withdrew its clipboard</source>
        <translation>le compositeur Wayland a retiré son presse-papiers</translation>
    </message>
    <message>
        <source>the Wayland compositor ended the clipboard device</source>
        <translation>le compositeur Wayland a fermé le périphérique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>Edit</name>
    <message>
        <source>Invalid data &quot;%1&quot; for %2.</source>
        <translation>Données «&#x202f;%1&#x202f;» non valables pour %2.</translation>
    </message>
    <message>
        <source>Invalid type %1.</source>
        <translation>Type %1 non valable.</translation>
    </message>
    <message>
        <source>Invalid key name.</source>
        <translation>Nom de clé non valable.</translation>
    </message>
    <message>
        <source>Value %1 exists, overwrite</source>
        <translation>La valeur %1 existe, l’écraser</translation>
    </message>
    <message>
        <source>Cannot set %1 in %2.</source>
        <translation>Impossible de définir %1 dans %2.</translation>
    </message>
    <message>
        <source>A root key cannot be deleted.</source>
        <translation>Une clé racine ne peut pas être supprimée.</translation>
    </message>
    <message>
        <source>Permanently delete the registry key %1 </source>
        <translation>Supprimer définitivement la clé de registre %1 </translation>
    </message>
    <message>
        <source>Delete all values under the registry key %1 </source>
        <translation>Supprimer toutes les valeurs de la clé de registre %1 </translation>
    </message>
    <message>
        <source>Delete the registry value %1 </source>
        <translation>Supprimer la valeur de registre %1 </translation>
    </message>
</context>
<context>
    <name>EditorLaunch</name>
    <message>
        <source>Cannot start the default program for %1</source>
        <translation>Impossible de lancer le programme par défaut pour %1</translation>
    </message>
    <message>
        <source>Cannot start %1</source>
        <translation>Impossible de lancer %1</translation>
    </message>
</context>
<context>
    <name>ErrorReporter</name>
    <message>
        <source>%1 (once more)</source>
        <translation>%1 (une fois de plus)</translation>
    </message>
    <message>
        <source>%1 (%2 more times)</source>
        <translation>%1 (%2 fois de plus)</translation>
    </message>
</context>
<context>
    <name>FirstRun</name>
    <message>
        <source>Support: </source>
        <translation>Assistance&#x202f;: </translation>
    </message>
    <message>
        <source>Web site: </source>
        <translation>Site web&#x202f;: </translation>
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
C’est la première fois que %1 démarre. Pour l’utiliser, vous devez accepter les conditions ci-dessous&#x202f;; veuillez d’abord les lire.

CE QUE CLIPSTOW FAIT PAR DÉFAUT
Le mode automatique est activé. Tant qu’il l’est, %1 capture chaque texte que vous copiez dans n’importe quel programme&#x202f;: il ajoute le texte, sous une ligne portant la date et l’heure, au fichier de l’emplacement actif. Les fichiers d’emplacement se trouvent dans le dossier d’où %1 a été lancé&#x202f;:
%5
Ce qui est capturé reste dans ces fichiers jusqu’à ce que vous l’effaciez. La fenêtre principale démarre masquée&#x202f;; l’icône de la zone de notification la fait revenir.
Pour désactiver le mode automatique, appuyez sur F5 dans la fenêtre principale (Options, «&#x202f;Clipstow automatique&#x202f;»), cliquez sur le bouton «&#x202f;Clipstow automatique&#x202f;» de la barre d’outils ou choisissez «&#x202f;Clipstow automatique&#x202f;» dans le menu de l’icône de la zone de notification.

CONDITIONS
%6
GARANTIE LIMITÉE ET EXCLUSION DE RESPONSABILITÉ
%1 vous est donné gratuitement et sans aucune garantie, comme le dit le dernier paragraphe de la licence ci-dessus. Vous l’utilisez à vos propres risques&#x202f;: gardez des copies de ce qui compte pour vous, et ne le laissez pas capturer ce que d’autres ne doivent pas lire.

ACCEPTATION
En choisissant «&#x202f;J’accepte&#x202f;», vous reconnaissez avoir lu ces conditions et ce que %1 fait par défaut, et vous les acceptez. Si vous choisissez «&#x202f;Je refuse&#x202f;», %1 se termine maintenant sans rien capturer et vous le redemandera au prochain démarrage.
</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Clipstow Help</source>
        <translation>Aide de Clipstow</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>&amp;Features</source>
        <translation>&amp;Fonctions</translation>
    </message>
    <message>
        <source>&amp;How to use</source>
        <translation>&amp;Utilisation</translation>
    </message>
    <message>
        <source>&amp;More</source>
        <translation>&amp;Plus</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Licence</translation>
    </message>
    <message>
        <source>&amp;Website</source>
        <translation>Site &amp;web</translation>
    </message>
    <message>
        <source>This demonstrates Clipstow icons in different states of Auto Clipstow</source>
        <translation>Les icônes de Clipstow selon l’état de Clipstow automatique</translation>
    </message>
    <message>
        <source>- Auto Clipstow is DISABLED</source>
        <translation>– Clipstow automatique est DÉSACTIVÉ</translation>
    </message>
    <message>
        <source>- Auto Clipstow is ENABLED</source>
        <translation>– Clipstow automatique est ACTIVÉ</translation>
    </message>
    <message>
        <source>Cannot open resource </source>
        <translation>Impossible d’ouvrir la ressource </translation>
    </message>
    <message>
        <source>Help text</source>
        <extracomment>The help text&apos;s name for screen readers</extracomment>
        <translation>Texte de l’aide</translation>
    </message>
</context>
<context>
    <name>Icons</name>
    <message>
        <source>Cannot read the splash picture</source>
        <translation>Impossible de lire l’image d’accueil</translation>
    </message>
</context>
<context>
    <name>InstanceCommands</name>
    <message>
        <source>Clipstow did not answer</source>
        <translation>Clipstow n’a pas répondu</translation>
    </message>
    <message>
        <source>The main window is shown</source>
        <translation>La fenêtre principale est affichée</translation>
    </message>
    <message>
        <source>The remote window is shown</source>
        <translation>La télécommande est affichée</translation>
    </message>
    <message>
        <source>The main window is minimised (no notification area to hide it in)</source>
        <translation>La fenêtre principale est réduite (pas de zone de notification où la masquer)</translation>
    </message>
    <message>
        <source>The main window is hidden</source>
        <translation>La fenêtre principale est masquée</translation>
    </message>
    <message>
        <source>Clipstow does not know the request &quot;%1&quot;</source>
        <translation>Clipstow ne connaît pas la demande «&#x202f;%1&#x202f;»</translation>
    </message>
    <message>
        <source>There is no slot %1 (only 1, 2 and 3)</source>
        <translation>Il n’y a pas d’emplacement %1 (seulement 1, 2 et 3)</translation>
    </message>
    <message>
        <source>slot %1 (%2)</source>
        <translation>l’emplacement %1 (%2)</translation>
    </message>
    <message>
        <source>Captured into %1</source>
        <translation>Capturé dans %1</translation>
    </message>
    <message>
        <source>No text in the Clipboard: nothing captured into %1</source>
        <translation>Pas de texte dans le presse-papiers&#x202f;: rien capturé dans %1</translation>
    </message>
    <message>
        <source>Auto mode captures into %1</source>
        <translation>Le mode automatique capture dans %1</translation>
    </message>
    <message>
        <source>Auto mode can be on, off or toggle, not &quot;%1&quot;</source>
        <translation>Le mode automatique peut être on, off ou toggle, pas «&#x202f;%1&#x202f;»</translation>
    </message>
    <message>
        <source>Auto mode is on</source>
        <translation>Le mode automatique est activé</translation>
    </message>
    <message>
        <source>Auto mode is off</source>
        <translation>Le mode automatique est désactivé</translation>
    </message>
    <message>
        <source>Clipstow has ended</source>
        <translation>Clipstow s’est terminé</translation>
    </message>
    <message>
        <source>Clipstow has ended; the unsaved text of slot %1 was kept in a file next to the slot&apos;s file</source>
        <translation>Clipstow s’est terminé&#x202f;; le texte non enregistré de l’emplacement %1 a été conservé dans un fichier à côté du fichier de l’emplacement</translation>
    </message>
    <message>
        <source>Clipstow goes on running: ending it was cancelled</source>
        <translation>Clipstow continue&#x202f;: sa fermeture a été annulée</translation>
    </message>
    <message>
        <source>Clipstow did not answer within %1 seconds</source>
        <translation>Clipstow n’a pas répondu dans les %1 secondes</translation>
    </message>
    <message>
        <source>Clipstow is waiting for its licence agreement</source>
        <translation>Clipstow attend l’acceptation de son contrat de licence</translation>
    </message>
    <message>
        <source>Clipstow is waiting for an answer to its message</source>
        <translation>Clipstow attend une réponse à son message</translation>
    </message>
    <message>
        <source>The program that copied did not deliver the text: nothing captured into %1</source>
        <translation>Le programme d’où vient la copie n’a pas livré le texte&#x202f;: rien capturé dans %1</translation>
    </message>
    <message>
        <source>Nothing captured into %1: Clipstow shows why</source>
        <translation>Rien capturé dans %1&#x202f;: Clipstow montre pourquoi</translation>
    </message>
    <message>
        <source>Clipstow is not running</source>
        <translation>Clipstow n’est pas lancé</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>First</source>
        <extracomment>The slots&apos; names, on their tabs</extracomment>
        <translation>Premier</translation>
    </message>
    <message>
        <source>Second</source>
        <translation>Deuxième</translation>
    </message>
    <message>
        <source>Third</source>
        <translation>Troisième</translation>
    </message>
    <message>
        <source>Clear %1</source>
        <extracomment>The Clear button&apos;s tool tip; %1 is the active slot&apos;s file name</extracomment>
        <translation>Effacer %1</translation>
    </message>
    <message>
        <source>H i d e</source>
        <translation>M a s q u e r</translation>
    </message>
    <message>
        <source>Hide this window</source>
        <extracomment>The hide panel&apos;s name for screen readers, which read its spaced-out caption letter by letter</extracomment>
        <translation>Masquer cette fenêtre</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ai&amp;de</translation>
    </message>
    <message>
        <source>Text of slot %1</source>
        <extracomment>The slot&apos;s text for screen readers; %1 is the slot&apos;s name (First, Second, Third)</extracomment>
        <translation>Texte de l’emplacement %1</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barre d’état</translation>
    </message>
</context>
<context>
    <name>MainWindowMenus</name>
    <message>
        <source>Hide this window</source>
        <translation>Masquer cette fenêtre</translation>
    </message>
</context>
<context>
    <name>NullWaylandClipboard</name>
    <message>
        <source>WAYLAND_DISPLAY is not set</source>
        <translation>WAYLAND_DISPLAY n’est pas défini</translation>
    </message>
    <message>
        <source>this build of Clipstow has no Wayland client library</source>
        <translation>cette version de Clipstow n’a pas la bibliothèque client de Wayland</translation>
    </message>
</context>
<context>
    <name>PreferencesDialog</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Select...</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>&amp;Général</translation>
    </message>
    <message>
        <source>&amp;Load when starting the desktop</source>
        <translation>&amp;Charger au démarrage du bureau</translation>
    </message>
    <message>
        <source>Show s&amp;plash screen</source>
        <translation>Afficher l’écran de &amp;lancement</translation>
    </message>
    <message>
        <source>&amp;Hide on startup</source>
        <translation>&amp;Masquer au démarrage</translation>
    </message>
    <message>
        <source>&amp;Confirmation boxes</source>
        <translation>Boîtes de co&amp;nfirmation</translation>
    </message>
    <message>
        <source>If this item is checked Clipstow will ask your confirmation
before clearing files or the Clipboard.</source>
        <translation>Si cette case est cochée, Clipstow demandera votre confirmation
avant de vider des fichiers ou le presse-papiers.</translation>
    </message>
    <message>
        <source>&quot;&amp;Auto Clipstow&quot; Feature</source>
        <translation>Fonction «&#x202f;Clipstow &amp;automatique&#x202f;»</translation>
    </message>
    <message>
        <source>R&amp;emember last state</source>
        <translation>Se souvenir du d&amp;ernier état</translation>
    </message>
    <message>
        <source>Always &quot;&amp;On&quot; on startup</source>
        <translation>Toujours «&#x202f;Act&amp;ivé&#x202f;» au démarrage</translation>
    </message>
    <message>
        <source>Always &quot;O&amp;ff&quot; on startup</source>
        <translation>Toujours «&#x202f;Désacti&amp;vé&#x202f;» au démarrage</translation>
    </message>
    <message>
        <source>T&amp;urn &quot;Auto Clipstow&quot; off when editing</source>
        <translation>Désactiver «&#x202f;Clipstow automatique&#x202f;» en &amp;modifiant</translation>
    </message>
    <message>
        <source>&amp;Date Style</source>
        <translation>Format de la &amp;date</translation>
    </message>
    <message>
        <source>Do&amp;n&apos;t save date and time</source>
        <translation>&amp;Ne pas enregistrer la date et l’heure</translation>
    </message>
    <message>
        <source>&quot;&amp;Remote Control&quot;</source>
        <translation>«&#x202f;&amp;Télécommande&#x202f;»</translation>
    </message>
    <message>
        <source>Always sho&amp;w on startup</source>
        <translation>Toujours a&amp;fficher au démarrage</translation>
    </message>
    <message>
        <source>Always &amp;hide on startup</source>
        <translation>Toujours &amp;masquer au démarrage</translation>
    </message>
    <message>
        <source>&amp;Sound</source>
        <translation>&amp;Son</translation>
    </message>
    <message>
        <source>&amp;Use default sound</source>
        <translation>&amp;Utiliser le son par défaut</translation>
    </message>
    <message>
        <source>Click to play</source>
        <translation>Cliquer pour écouter</translation>
    </message>
    <message>
        <source>Please choose the wave file that will be played after each
clipstowing.</source>
        <translation>Veuillez choisir le fichier WAV qui sera joué après chaque
capture.</translation>
    </message>
    <message>
        <source>&amp;Text Editor</source>
        <translation>Éditeur de te&amp;xte</translation>
    </message>
    <message>
        <source>Use default &amp;editor</source>
        <translation>Utiliser l’&amp;éditeur par défaut</translation>
    </message>
    <message>
        <source>Please choose the application that will be launched
when you click &quot;Edit in Text Editor&quot;.</source>
        <translation>Veuillez choisir l’application qui sera lancée quand
vous cliquez sur «&#x202f;Modifier dans l’éditeur de texte&#x202f;».</translation>
    </message>
    <message>
        <source>&amp;Like this: </source>
        <translation>&amp;Comme ceci&#x202f;: </translation>
    </message>
    <message>
        <source>Li&amp;ke this: </source>
        <translation>C&amp;omme cela&#x202f;: </translation>
    </message>
    <message>
        <source>Wave files (*.wav)</source>
        <translation>Fichiers WAV (*.wav)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Sound file</source>
        <extracomment>The sound file&apos;s path, for screen readers</extracomment>
        <translation>Fichier son</translation>
    </message>
    <message>
        <source>Play the sound</source>
        <extracomment>The sound picture&apos;s name for screen readers</extracomment>
        <translation>Écouter le son</translation>
    </message>
    <message>
        <source>Text editor program</source>
        <extracomment>The text editor&apos;s path, for screen readers</extracomment>
        <translation>Programme de l’éditeur de texte</translation>
    </message>
</context>
<context>
    <name>ProgramInfo</name>
    <message>
        <source>Cannot read the licence text</source>
        <translation>Impossible de lire le texte de la licence</translation>
    </message>
</context>
<context>
    <name>Query</name>
    <message>
        <source>End of search: %1 match(es) found.</source>
        <translation>Fin de la recherche&#x202f;: %1 résultat(s) trouvé(s).</translation>
    </message>
</context>
<context>
    <name>RegFile</name>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>unexpected text</source>
        <translation>texte inattendu</translation>
    </message>
    <message>
        <source>the first line must be &quot;%1&quot; or &quot;%2&quot;</source>
        <translation>la première ligne doit être «&#x202f;%1&#x202f;» ou «&#x202f;%2&#x202f;»</translation>
    </message>
    <message>
        <source>a key name must end with ]</source>
        <translation>un nom de clé doit finir par ]</translation>
    </message>
    <message>
        <source>unknown root key in [%1]</source>
        <translation>clé racine inconnue dans [%1]</translation>
    </message>
    <message>
        <source>empty key name in [%1]</source>
        <translation>nom de clé vide dans [%1]</translation>
    </message>
    <message>
        <source>a root key cannot be deleted</source>
        <translation>une clé racine ne peut pas être supprimée</translation>
    </message>
    <message>
        <source>unknown escape \%1 in a string</source>
        <translation>échappement \%1 inconnu dans une chaîne</translation>
    </message>
    <message>
        <source>a string is not closed</source>
        <translation>une chaîne n’est pas fermée</translation>
    </message>
    <message>
        <source>a value outside a key section</source>
        <translation>une valeur hors d’une section de clé</translation>
    </message>
    <message>
        <source>= expected after the value name</source>
        <translation>= attendu après le nom de la valeur</translation>
    </message>
    <message>
        <source>unexpected text after -</source>
        <translation>texte inattendu après -</translation>
    </message>
    <message>
        <source>unexpected text after a string</source>
        <translation>texte inattendu après une chaîne</translation>
    </message>
    <message>
        <source>unknown value data</source>
        <translation>données de valeur inconnues</translation>
    </message>
    <message>
        <source>hex data needs a colon</source>
        <translation>les données hex demandent un deux-points</translation>
    </message>
    <message>
        <source>unknown hex type %1</source>
        <translation>type hex %1 inconnu</translation>
    </message>
    <message>
        <source>hex data breaks off</source>
        <translation>les données hex s’interrompent</translation>
    </message>
    <message>
        <source>bad byte &quot;%1&quot; in hex data</source>
        <translation>octet «&#x202f;%1&#x202f;» incorrect dans les données hex</translation>
    </message>
</context>
<context>
    <name>RegTools</name>
    <message>
        <source>Invalid data type for &apos;%s&apos;</source>
        <translation>Type de données non valable pour «&#x202f;%s&#x202f;»</translation>
    </message>
    <message>
        <source>Failed to get data for &apos;%s&apos;</source>
        <translation>Impossible de lire les données de «&#x202f;%s&#x202f;»</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%s&apos;</source>
        <translation>Impossible de définir les données de «&#x202f;%s&#x202f;»</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1.</source>
        <translation>Les réglages n’ont pas pu être enregistrés&#x202f;: %1.</translation>
    </message>
</context>
<context>
    <name>RegistryLayout</name>
    <message>
        <source>Clipstow&apos;s values, by key (NAME  TYPE  default: DEFAULT, then what it means):
</source>
        <translation>Les valeurs de Clipstow, par clé (NOM  TYPE  par défaut&#x202f;: DÉFAUT, puis leur sens)&#x202f;:
</translation>
    </message>
    <message>
        <source>  %1  %2  default: %3
</source>
        <translation>  %1  %2  par défaut&#x202f;: %3
</translation>
    </message>
    <message>
        <source>HKCU\%1\%2 and HKCU\%1\%3 keep the placement of the main window and of the remote control window.</source>
        <translation>HKCU\%1\%2 et HKCU\%1\%3 gardent la position de la fenêtre principale et de la télécommande.</translation>
    </message>
</context>
<context>
    <name>RegistryStore</name>
    <message>
        <source>registry database: %1</source>
        <translation>base du registre&#x202f;: %1</translation>
    </message>
    <message>
        <source>the registry file %1 is in use by another program</source>
        <translation>le fichier de registre %1 est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>the registry file %1 was in use by another program when the settings were read</source>
        <translation>le fichier de registre %1 était utilisé par un autre programme pendant la lecture des réglages</translation>
    </message>
    <message>
        <source>the registry file %1 may be read but not written</source>
        <translation>le fichier de registre %1 peut être lu mais pas écrit</translation>
    </message>
    <message>
        <source>it is a database of another program</source>
        <translation>c’est une base de données d’un autre programme</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>il est endommagé</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>impossible de créer le dossier %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation>impossible de créer %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>cannot open %1</source>
        <translation>impossible d’ouvrir %1</translation>
    </message>
    <message>
        <source>the registry file %1 is not usable (%2) and cannot be moved aside: %3</source>
        <translation>le fichier de registre %1 est inutilisable (%2) et ne peut pas être mis de côté&#x202f;: %3</translation>
    </message>
    <message>
        <source>Warning: the registry file %1 is not usable (%2); it was moved to %3 and a fresh registry is started.
</source>
        <translation>Attention&#x202f;: le fichier de registre %1 est inutilisable (%2)&#x202f;; il a été déplacé dans %3 et un nouveau registre est commencé.
</translation>
    </message>
</context>
<context>
    <name>RegistryStoreKeys</name>
    <message>
        <source>a key lies more than %1 levels deep</source>
        <translation>une clé se trouve à plus de %1 niveaux de profondeur</translation>
    </message>
    <message>
        <source>empty key name</source>
        <translation>nom de clé vide</translation>
    </message>
    <message>
        <source>a key name is longer than %1 characters</source>
        <translation>un nom de clé dépasse %1 caractères</translation>
    </message>
</context>
<context>
    <name>RemoteWindow</name>
    <message>
        <source>Auto Clipstow</source>
        <translation>Clipstow automatique</translation>
    </message>
    <message>
        <source>Capture into slot %1</source>
        <extracomment>A slot button&apos;s name for screen readers; %1 is the slot&apos;s number</extracomment>
        <translation>Capturer dans l’emplacement %1</translation>
    </message>
    <message>
        <source>Auto Clipstow: on</source>
        <translation>Clipstow automatique&#x202f;: activé</translation>
    </message>
    <message>
        <source>Auto Clipstow: off</source>
        <translation>Clipstow automatique&#x202f;: désactivé</translation>
    </message>
</context>
<context>
    <name>SaveSound</name>
    <message>
        <source>Cannot read CHIMES_WAV</source>
        <translation>Impossible de lire CHIMES_WAV</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>Clipstow cannot make sure that it runs only once on this display (%1); it starts anyway.</source>
        <translation>Clipstow ne peut pas s’assurer qu’il ne tourne qu’une fois sur cet affichage (%1)&#x202f;; il démarre quand même.</translation>
    </message>
    <message>
        <source>cannot create the lock file %1.lock</source>
        <translation>impossible de créer le fichier de verrou %1.lock</translation>
    </message>
</context>
<context>
    <name>Slot</name>
    <message>
        <source>Unsaved text of the slot kept in %1</source>
        <translation>Texte non enregistré de l’emplacement conservé dans %1</translation>
    </message>
    <message>
        <source>A capture cut off while it was written was moved to %1</source>
        <extracomment>%1 is the file the cut-off capture was moved to</extracomment>
        <translation>Une capture interrompue pendant son écriture a été déplacée dans %1</translation>
    </message>
    <message>
        <source>%1 was written without its lock (%2)</source>
        <extracomment>%1 is the slot&apos;s file, %2 why it had no lock</extracomment>
        <translation>%1 a été écrit sans son verrou (%2)</translation>
    </message>
</context>
<context>
    <name>SlotEditorPrint</name>
    <message>
        <source>Cannot print %s</source>
        <translation>Impossible d’imprimer %s</translation>
    </message>
</context>
<context>
    <name>SlotFile</name>
    <message>
        <source>Cannot create file %s</source>
        <translation>Impossible de créer le fichier %s</translation>
    </message>
    <message>
        <source>Failed to Save Stream</source>
        <translation>Échec de l’enregistrement</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>Cannot open file %s</source>
        <translation>Impossible d’ouvrir le fichier %s</translation>
    </message>
    <message>
        <source>Failed to Load Stream</source>
        <translation>Échec du chargement</translation>
    </message>
</context>
<context>
    <name>SlotFileAtomic</name>
    <message>
        <source>%s was changed by another program and was not overwritten</source>
        <translation>%s a été modifié par un autre programme et n’a pas été écrasé</translation>
    </message>
    <message>
        <source>no place for its lock</source>
        <translation>pas de place pour son verrou</translation>
    </message>
    <message>
        <source>another Clipstow was writing it</source>
        <translation>un autre Clipstow l’écrivait</translation>
    </message>
</context>
<context>
    <name>SlotFileWriter</name>
    <message>
        <source>%s is longer than the editor holds: only text added at its end can be saved</source>
        <translation>%s est plus long que ce que l’éditeur contient&#x202f;: seul le texte ajouté à la fin peut être enregistré</translation>
    </message>
</context>
<context>
    <name>SlotFindDialog</name>
    <message>
        <source>Match &amp;whole word only</source>
        <translation>&amp;Mot entier uniquement</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>Respecter la &amp;casse</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Vers le &amp;haut</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>Vers le &amp;bas</translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>&amp;Rechercher&#x202f;:</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>SlotPage</name>
    <message>
        <source>Click to change</source>
        <translation>Cliquer pour changer</translation>
    </message>
    <message>
        <source>This file is longer than the editor holds: only its end is shown, and it cannot be edited here. Captures are added to the file whole. Choose another file for the slot to edit again.</source>
        <translation>Ce fichier est plus long que ce que l’éditeur contient&#x202f;: seule sa fin est affichée, et il ne peut pas être modifié ici. Les captures sont ajoutées entières au fichier. Choisissez un autre fichier pour l’emplacement afin de modifier de nouveau.</translation>
    </message>
</context>
<context>
    <name>SplashLayout</name>
    <message>
        <source>Build %1</source>
        <translation>Version du %1</translation>
    </message>
</context>
<context>
    <name>SplashWindow</name>
    <message>
        <source>Clipstow Splash</source>
        <translation>Écran d’accueil de Clipstow</translation>
    </message>
    <message>
        <source>Cannot decode the splash picture</source>
        <translation>Impossible de décoder l’image d’accueil</translation>
    </message>
    <message>
        <source>Web site</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Fermer cette fenêtre</translation>
    </message>
    <message>
        <source>clipboard text, stowed in files</source>
        <extracomment>The program&apos;s tagline under its name on the splash window</extracomment>
        <translation>le texte du presse-papiers, rangé dans des fichiers</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Clipstow registry data removed</source>
        <translation>Données de registre de Clipstow supprimées</translation>
    </message>
    <message>
        <source>Uninstall</source>
        <translation>Désinstaller</translation>
    </message>
    <message>
        <source>No notification area: the main window stays open</source>
        <translation>Pas de zone de notification&#x202f;: la fenêtre principale reste ouverte</translation>
    </message>
    <message>
        <source>this desktop offers no XWayland</source>
        <translation>ce bureau n’offre pas XWayland</translation>
    </message>
    <message>
        <source>XWayland (%1) could not be opened</source>
        <translation>XWayland (%1) n’a pas pu être ouvert</translation>
    </message>
    <message>
        <source>QT_QPA_PLATFORM asks for it</source>
        <translation>QT_QPA_PLATFORM le demande</translation>
    </message>
    <message>
        <source>Clipstow&apos;s windows run on Wayland itself, as %1: the remote window cannot stay on top of other windows, and windows cannot be put back where they were</source>
        <translation>Les fenêtres de Clipstow tournent directement sur Wayland, car %1&#x202f;: la télécommande ne peut pas rester au-dessus des autres fenêtres, et les fenêtres ne peuvent pas être remises à leur place</translation>
    </message>
</context>
<context>
    <name>Transfer</name>
    <message>
        <source>Error opening the file %1: %2</source>
        <translation>Erreur à l’ouverture du fichier %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n’est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>il dépasse %1 Mo</translation>
    </message>
    <message>
        <source>Error reading the file %1: %2</source>
        <translation>Erreur à la lecture du fichier %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>File %1 already exists. Overwrite </source>
        <translation>Le fichier %1 existe déjà. L’écraser </translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>%1 is not a valid registry script: line %2: %3. Nothing was imported.</source>
        <translation>%1 n’est pas un script de registre valable&#x202f;: ligne %2&#x202f;: %3. Rien n’a été importé.</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Clipstow, Auto Clipstow on</source>
        <extracomment>The tray icon&apos;s name for screen readers</extracomment>
        <translation>Clipstow, Clipstow automatique activé</translation>
    </message>
    <message>
        <source>Clipstow, Auto Clipstow off</source>
        <translation>Clipstow, Clipstow automatique désactivé</translation>
    </message>
</context>
<context>
    <name>WaylandClipboardSource</name>
    <message>
        <source>WAYLAND_DISPLAY is not set</source>
        <translation>WAYLAND_DISPLAY n’est pas défini</translation>
    </message>
</context>
<context>
    <name>clipstow-reg</name>
    <message>
        <source>Invalid syntax. Type &quot;clipstow-reg /?&quot; for usage.</source>
        <translation>Syntaxe non valable. Tapez «&#x202f;clipstow-reg /?&#x202f;» pour l’utilisation.</translation>
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
        <translation>clipstow-reg OPÉRATION [paramètres]

  query KEY [/v NAME | /ve] [/s]
  add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
  delete KEY [/v NAME | /ve | /va] [/f]
  export KEY FILE [/y]
  import FILE

KEY est ROOT\SubKey, ROOT étant HKLM, HKCU, HKEY_LOCAL_MACHINE ou HKEY_CURRENT_USER.
TYPE est REG_SZ (par défaut), REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD ou
REG_QWORD. Le registre est $CLIPSTOW_REGISTRY, sinon
$XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config s’il n’est pas défini).
/?, -h ou --help affiche ce texte&#x202f;; --version la version.
</translation>
    </message>
</context>
</TS>
