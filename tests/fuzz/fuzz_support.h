/* Helpers of the fuzz target: a scratch launch folder per input, and the checks
 * that turn a wrong result into a crash libFuzzer reports. */
#ifndef TESTS_FUZZ_FUZZ_SUPPORT_H
#define TESTS_FUZZ_FUZZ_SUPPORT_H

#include <stddef.h>

#include <string>

namespace fuzz {

/* Empties the scratch folder and makes a launch folder below it whose name
 * carries padding extra bytes; returns its host path. */
std::string FreshLaunchFolder(unsigned padding);

void MakeFolders(const std::string &hostPath);
void WriteHostFile(const std::string &hostPath, const std::string &content);

/* Creates the listed entry (a relative Windows path) below the launch folder,
 * as a file or a folder.  Entries that would land outside it ("..", drive or
 * absolute paths) are left alone. */
void PlaceEntry(const std::string &launchFolder, const std::string &entry, bool asFolder);

/* Removes an entry placed by PlaceEntry (a file or a whole folder). */
void RemoveEntry(const std::string &launchFolder, const std::string &entry);

/* Aborts unless buffer holds a terminator within size bytes. */
void CheckTerminated(const char *buffer, size_t size);

/* Aborts unless between least and most message boxes were shown, each with
 * the product title and a text, and a missing-file message names a whole entry. */
void CheckMessages(size_t least, size_t most);

/* Aborts unless the staging parameters are -a and one quoted path that ends
 * with INF slot 0, within the 259-byte limit. */
void CheckStagingParameters(const std::string &parameters);

/* Prints the message boxes and launches of the input just run (for reading one input). */
void ShowOutcome();

/* Aborts with reason (libFuzzer records the input). */
[[noreturn]] void Fail(const std::string &reason);

}  // namespace fuzz

#endif
