// Another process on the machine whose worker shuts its Notes runtime down,
// without having one: the test that starts it checks that the shut-down
// reaches no runtime thread of its own process.
#include "HeronOptions.h"
#include "HeronWorker.h"

int main()
{
    HeronOptions::Load();
    HERON worker(0);
    worker.Shutdown();
    return 0;
}
