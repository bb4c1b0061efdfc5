/* Shared fixture: a fresh stand-in, a scratch folder on the host reached as a Windows path. */
#ifndef TESTS_UNIT_SUPPORT_H
#define TESTS_UNIT_SUPPORT_H

#include <gtest/gtest.h>
#include <standin.h>

#include "resource.h"

#include <string>

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* A fresh stand-in and scratch folder, for one row of a table. */
    void Restart()
    {
        TearDown();
        SetUp();
    }

    /* Writes a file below the scratch folder (relative path with '/'), creating folders. */
    void WriteFile(const std::string &relative, const std::string &content);
    void MakeFolder(const std::string &relative);
    void Remove(const std::string &relative);

    /* A valid setup file named after the executable ("Setup.INI") in the launch folder. */
    void WriteValidSetupFile(const std::string &name = "Setup.INI");

    /* Scripts templates 205 and 220 (done by SetUp). */
    void ScriptDialogTemplates();

    /* Runs the entry as the run-time start-up would, with these arguments. */
    int RunLauncher(const char *arguments = "");

    /* Texts of the message boxes shown, in order. */
    std::vector<std::string> MessageTexts() const;

    standin::State &sys() { return standin::state(); }

    std::string hostFolder;     /* the scratch folder, a host path */
    std::string launchFolder;   /* the same folder as a Windows path */
    std::string tempHostFolder; /* the temp folder GetTempPathA names, a host path */
};

/* The lines of the log at hostPath, each after its time stamp and process id;
 * a line of another layout fails the test. */
std::vector<std::string> LogTexts(const std::string &hostPath);

/* A child the stand-in fails to start, with the error code the launch leaves. */
standin::ChildScript FailedLaunch(DWORD error);

/* A child that runs 300 ms and ends with exitCode, leaving printersAfter
 * local printers when that is 0 or more. */
standin::ChildScript Exits(DWORD exitCode, int printersAfter = -1);

#endif
