// Stands in for a KML viewer in the end-to-end tests: records the arguments it
// was started with, one per line, and exits. The record goes to the file named
// by ORVINEL_STANDIN_RECORD, or else to "<argv0>.args".
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char* argv[])
{
    // NOLINTNEXTLINE(concurrency-mt-unsafe): this program has one thread
    const char* named = std::getenv("ORVINEL_STANDIN_RECORD");
    const std::string record = named && *named ? named : std::string(argv[0]) + ".args";
    std::ofstream out(record, std::ios::app | std::ios::binary);
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\n';
    return out ? 0 : 1;
}
