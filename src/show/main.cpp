#include "show/Show.h"

// The show takes no arguments and reads no configuration.
int main() {
    return showMain();
}
