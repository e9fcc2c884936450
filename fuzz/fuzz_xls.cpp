// .xls import on any bytes (the window's bare BIFF stream, or an OLE2
// workbook through FreeXL): never crashes, refuses with ExchangeError only.
// FreeXL runs in a child process, which some damaged workbooks crash: that is
// the child's end and an ExchangeError here, not a finding, so the child drops
// the fuzzer's crash handlers.

#include "exchange/xls/XlsReader.h"

#include <QByteArray>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <pthread.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_FUZZ_ASAN 1
#endif
#ifdef TESSALY_FUZZ_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

void quietChild()
{
#ifdef TESSALY_FUZZ_ASAN
    __sanitizer_set_death_callback(nullptr);
#endif
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
        std::signal(sig, SIG_DFL);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    pthread_atfork(nullptr, nullptr, quietChild);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const DraftSet set = readXlsBytes(bytes, QStringLiteral("fuzz.xls"));
        for (const ContactDraft& draft : set.drafts)
            if (draft.line < 1)
                std::abort();
    } catch (const ExchangeError&) {
    }
    return 0;
}
