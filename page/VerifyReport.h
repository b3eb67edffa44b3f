#pragma once
#include <string>

#include "avi/FileVerifier.h"
#include "page/FileReport.h"
#include "page/InspectedFile.h"

// The verification of a whole file as the tool prints it and the page
// starts it: the file is opened as the page opens it, twice (the pass reads
// through one handle, the headers and indexes are looked up through the
// other), and FileVerifier runs over it. The report's rows tell what each
// stream holds that is sound and, when not all of it is, up to when the
// file is sound; its status is "Ok" or the first problem. A file that can't
// be opened has no rows and the open error as its status. progress, when
// given, is told how far the pass has got and may stop it.
FileReport verifyFileReport(const std::string& path, OnlineFiles online = OnlineFiles::skip,
                            const FileVerifier::Progress& progress = nullptr);

// The report of a verification that has run, or of one that could not
// (status given, no streams).
FileReport verificationReport(const std::string& path, Verification verification);
