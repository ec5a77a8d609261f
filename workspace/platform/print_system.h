#pragma once
// What the print system says about a queue and about the job it was last handed. Qt's printer
// submits a job and drops the answer, so a refused job would otherwise read as printed.

#include <QString>

namespace linoveta {

// False when the print system answers that `queue` ("name" or "name/instance") refuses new
// jobs; true when it takes them or cannot be asked (the job itself then fails).
bool PrintQueueAcceptsJobs(const QString &queue);

// Whether the last request this thread made to the print system, the submission of a job
// right after one was printed, was answered with success.
bool LastPrintRequestSucceeded();

} // namespace linoveta
