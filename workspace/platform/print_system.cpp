#include "workspace/platform/print_system.h"

#include <cups/cups.h>

#include <cstring>

namespace linoveta {

bool PrintQueueAcceptsJobs(const QString &queue)
{
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray instance = queue.section(QLatin1Char('/'), 1).toLocal8Bit();
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return true;
    const char *accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool accepts = !accepting || std::strcmp(accepting, "false") != 0;
    cupsFreeDests(1, dest);
    return accepts;
}

bool LastPrintRequestSucceeded()
{
    // Success and informational answers lie below the redirections.
    return cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE;
}

} // namespace linoveta
