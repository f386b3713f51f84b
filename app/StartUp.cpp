#include "StartUp.h"

#include <csignal>

void PrepareProcess()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
