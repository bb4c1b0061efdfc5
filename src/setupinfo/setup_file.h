/* The setup information file: an INI file named after the executable, in the launch folder. */
#ifndef SETUPINFO_SETUP_FILE_H
#define SETUPINFO_SETUP_FILE_H

#include <windows.h>

#define SETUP_VALUE_SIZE 255  /* every value is read with this size: at most 254 bytes */
#define SETUP_VALUE_MISSING "unknown"

#define MSG_SETUP_FILE_MISSING "Missing to setup infomation file.\n\nExit the program."
#define MSG_SETUP_FILE_FAILED "Failed to setup infomation file.\n\nExit the program."

/* The executable's base name (no folder, no extension), set by ReadBaseName. */
extern char g_baseName[MAX_PATH];

/* Keeps the executable's base name in g_baseName. */
void ReadBaseName(void);

/* The MODEL value, set by a successful CheckSetupFileAtStart; captions the page's group box. */
extern char g_captionText[MAX_PATH];

/* Returns 1 when a backslash goes between folder and a name joined to it:
 * always, except for a 9x drive root such as "C:\". */
int FolderNeedsBackslash(const char *folder);

/* Writes the launch folder, the join, the base name and ".INI" into path (cut at 259 bytes). */
void BuildSetupFilePath(char (&path)[MAX_PATH]);

#define LAUNCH_NOTE_SIZE (2 * MAX_PATH + 96)

/* The folder a launch takes its package from, and what the log says of it. */
struct LaunchFolderChoice {
    char folder[MAX_PATH];          /* empty when the current folder cannot be read */
    char note[LAUNCH_NOTE_SIZE];    /* after the folder in the log; empty for the current folder */
    int ofProgram;                  /* the executable's own folder, not the current one */
};

/* The current folder; with besideProgram (a launch nobody needs to start from
 * its package), the executable's own folder when the current one holds no
 * setup file of its name and that one does. */
void ChooseLaunchFolder(int besideProgram, LaunchFolderChoice *choice);

/* Reads section/key of the setup file at path into value, "unknown" when missing. */
void ReadSetupValue(const char *path, const char *section, const char *key, char (&value)[MAX_PATH]);

/* True when value is neither empty nor exactly "unknown". */
int IsValidSetupValue(const char *value);

/* Returns 1 when a file or folder is at path; else shows the missing-file
 * message and returns 0. */
int FindSetupFile(const char *path);

/* Shows the failed-setup message after a value was found wanting, and returns
 * 0.  The package then cannot be opened when the file itself cannot be read
 * (a folder, or no access), and is invalid otherwise. */
int RefuseSetupFile(const char *path);

/* Checks the setup file exists and names a model and a language menu; keeps
 * the model as caption text.  Returns 1 when it passes, 0 after showing why not. */
int CheckSetupFileAtStart(void);

#endif
