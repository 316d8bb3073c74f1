// The central error handler: every trap hands its error here and carries out
// the action code it answers.
#pragma once
#include <cstdint>
#include <exception>
#include <string>

#include "../basic/Err.h"

extern int32_t vbwRetCode;
extern std::wstring vbwMessageString;
extern std::wstring vbwCircumstancesString;
extern std::wstring vbwErrorPath;
extern bool vbwfHasReported;
extern std::wstring vbwTurnOffTimersString;

// The error as it was when the handler was entered; the report dumps it as "Err".
extern basic::ErrObject vbwSavedErr;

int32_t vbwErrHandler(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                      const std::wstring& Module, const std::wstring& Procedure, int32_t Line);

// The error message shown to the user and written to the report.
std::wstring vbwComposeMessage(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                               const std::wstring& Module, const std::wstring& Procedure, int32_t Line);

// After a report request: writes the variables, then builds and sends the
// package (the handler with error number -1) and answers the final choice.
int32_t vbwReportRequested(const std::wstring& Project);

// Reports an error that escaped to where Windows calls into the program, as
// an error of the module and procedure named; nothing is run again.
void vbwReportEscaped(const std::wstring& Module, const std::wstring& Procedure, std::exception_ptr Failure);

// When the error dialog itself cannot be shown: the message in a plain box.
void vbwLastResort(const std::wstring& Message);

// The report folder's name, beside the program or, when the program's folder
// cannot be written, in the user's local application data below the product's
// folder.
inline constexpr const wchar_t* vbwReportFolderName = L"Error Report Files";
inline constexpr const wchar_t* vbwUserReportFolderParent = L"Korvell";

// The archive's size as the report texts give it: whole kilobytes, rounded down.
std::wstring vbwArchiveSizeKb(const std::wstring& path);

bool vbwFileExists(const std::wstring& Path);
std::wstring vbwReadFile(const std::wstring& Path);

void vbwTurnOffTimers();
void vbwTurnOnTimers();

// Runs without anyone to answer (the unattended set-up). With vbwQuiet no
// window opens for an error: its report package is written as for a report
// request but not sent, and the handler answers 3, which ends the program.
extern bool vbwQuiet;
// Told of every error as it reaches the handler: the message, and the folder
// of the package written for it (empty when none was). A quiet run tells
// once the package is written; otherwise before the dialog shows.
using vbwErrorNoticeFunction = void (*)(const std::wstring& Message, const std::wstring& PackageFolder);
extern vbwErrorNoticeFunction vbwErrorNotice;

// Shows the error dialog modally; the dialog leaves the user's choice in
// vbwRetCode. Tests put a stand-in for the user here.
using vbwErrorDialog = void (*)();
extern vbwErrorDialog vbwShowErrorDialog;
