#include "platform/FileSizeLimit.h"

#include <csignal>

void keepRunningAtFileSizeLimit()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
