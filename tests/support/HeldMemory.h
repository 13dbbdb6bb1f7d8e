#pragma once
// The memory the test process holds, to see it grow.

#include "support/Files.h"

#include <malloc.h>

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace platine::test {

// In kB: resident, or allocated under AddressSanitizer (freed blocks wait in its quarantine).
inline qint64 heldKb()
{
    if (&__sanitizer_get_current_allocated_bytes)
        return qint64(__sanitizer_get_current_allocated_bytes() / 1024);
    ::malloc_trim(0);
    const QByteArray status = fileBytes(QStringLiteral("/proc/self/status"));
    return status.mid(status.indexOf("VmRSS:") + 6).trimmed().split(' ').first().toLongLong();
}

} // namespace platine::test
