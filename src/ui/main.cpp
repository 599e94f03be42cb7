#include "desktopwindow.h"

int main(int argc, char *argv[])
{
    DesktopWindow window;
    return Startup::run(argc, argv, &window);
}
