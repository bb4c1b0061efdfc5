/* The models a driver package's INF offers a PC: the names of its printer
 * drivers, from the models section Windows would pick for the PC. */
#ifndef SETUPINFO_INF_MODELS_H
#define SETUPINFO_INF_MODELS_H

#include <windows.h>

#define INF_MODELS_MAX 32
#define MODEL_LIST_SIZE 1024

/* The PC a model is chosen for: its processor as an INF decorates a section
 * ("x86", "amd64", "arm64"), and the Windows version it really runs. */
struct InfPlatform {
    const char *architecture;
    DWORD major, minor, build;
    BYTE productType;  /* VER_NT_WORKSTATION, ...; 0 where it is not known */
};

struct InfModels {
    int count;
    int cut;  /* more models than INF_MODELS_MAX */
    char names[INF_MODELS_MAX][MAX_PATH];
};

/* The INF architecture of a processor (IMAGE_FILE_MACHINE_...), NULL for one
 * the launcher does not know. */
const char *InfArchitecture(USHORT machine);

/* This PC: its own processor, whatever the launcher's, and its real version. */
void ReadThisPlatform(InfPlatform *platform);

/* The models the INF at infPath offers platform: for each [Manufacturer]
 * entry, the models section Windows would pick, each model name with its
 * tokens resolved, each name once.  Returns the count. */
int ReadInfModels(const char *infPath, const InfPlatform *platform, InfModels *models);

/* True when models holds name, whatever its case. */
int HasModel(const InfModels *models, const char *name);

/* Writes the names as "\"a\", \"b\"" into text (cut where it does not fit);
 * "none" when there is none. */
void JoinModelNames(const InfModels *models, char (&text)[MODEL_LIST_SIZE]);

#endif
