#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    int port = argc > 1 ? std::atoi(argv[1]) : 18080;
    httplib::Server server;
    server.set_mount_point("/", ZANDREL_DEMO_SITE_DIR);
    std::printf("demo site on http://127.0.0.1:%d\n", port);
    std::fflush(stdout);
    return server.listen("127.0.0.1", port) ? 0 : 1;
}
