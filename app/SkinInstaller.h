#pragma once
// Installs a skin from a ZIP or cabinet archive into the program's "skin"
// folder, through the archive library bruna.
//
// The archive must hold "ostra.ini" and the skin's base image at its root.
// Everything that can fail the whole installation is checked before the
// first file is written, so a failed installation leaves nothing behind:
// the definition file, the base image, the target folder (which must lie
// inside the "skin" folder: "extractpath" cannot leave it), and the
// archive's size (at most ArchiveBounds' members and bytes). Then the
// target folder and every member are written, "/" in member names read as
// "\"; a member whose path would leave the skin's own folder, or that fails
// to extract, is skipped.
#include <windows.h>

#include <string>

#include "skin/SkinDefinition.h"

// The main window's command that rescans the skin catalogue.
constexpr UINT kReloadSkinsCommand = 40011;

// Installs the archive at 'archivePath' under 'skinFolder' (a folder path,
// without a trailing backslash). Fills the definition's title, ghost and
// category as far as the archive's "ostra.ini" could be read (empty before
// that). Unless the archive could not be opened at all, posts
// WM_COMMAND kReloadSkinsCommand to 'mainWindow' (when not null) after the
// archive is closed, so the catalogue and the menus know the new skin. True
// when the skin was extracted. User-interface thread; never throws.
bool InstallSkinArchive(const std::string& archivePath, SkinDefinition& definition, HWND mainWindow,
                        const std::string& skinFolder);

// The same into the program's own "skin" folder (beside its executable).
bool InstallSkinArchive(const std::string& archivePath, SkinDefinition& definition, HWND mainWindow);
