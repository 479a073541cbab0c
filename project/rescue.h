// rescue.h: unsaved work that is about to leave memory goes into a file first.
//
// Work is what the map holds that no file holds: edits since it was made, read or written (an
// Undo back to the written state is none), or work whose only copy was this editor's autosave
// after another writer replaced that file. One order of files takes it: the project's autosave
// when this editor may replace it, else a new "unsaved-<date>-<time>.zizudu" map in that
// project's maps folder (the working folder with no project), else the same in the maps folder
// of the project being opened. Whether the action then goes ahead is the editor's to decide.
#pragma once

#include "document/map_records.h"
#include "project/projects.h"

constexpr int kRescueReasonLen = 200;          // one failure: a file name and why
constexpr int kRescueDetailLen = 1200;         // every failure, with whole paths
constexpr int kRescueNameAttempts = 100;       // counters tried after a taken name
constexpr char kRescuePrefix[] = "unsaved-";

// What became of the work.
struct RescueOutcome {
    char file[kProjectFilePathLen];     // the file that holds it now; empty: nothing written
    char reason[kRescueReasonLen];      // the last failure, by file name; empty: none
    char detail[kRescueDetailLen];      // every failure, by whole path, for the log
};

// The map as a file holds it now (written, read, or made afresh). autoSaveProject names the
// project whose autosave holds it, nullptr for any other file or none.
void RescueNoteHeld(const MapDoc *map, const char *autoSaveProject);
// 1 when the map holds work that no file holds.
int RescueWorkUnsaved(const MapDoc *map);
// Writes the work, if any, into the first file of the order above. projectPath is the work's
// project (empty: none), nextProjectPath the one being opened (nullptr or empty: none);
// offerKept skips the autosave, which holds older work on offer. 1 when nothing is left
// unwritten (out->file names the file, empty when there was no work); else 0 with the reasons.
int RescueUnsavedWork(const MapDoc *map, const char *projectPath, const char *nextProjectPath, bool offerKept,
                      RescueOutcome *out);
// The first name of a rescue made at the given time (seconds since the epoch, local time) that
// nothing in folder (empty: the working folder) takes, as a path into out; 1, or 0 when none is
// free or it does not fit.
int RescueFreePath(const char *folder, long long seconds, char *out, int outSize);
