// Stands in for a program that must never be run by the upgrade: one
// planted in a working folder under a name the upgrade once took from
// there, or a setup that fails. Leaves planted-ran.log in its working
// folder and ends with 1, as a cancelled setup does.

#include <cstdio>

int main() {
    if (FILE* log = std::fopen("planted-ran.log", "ab")) {
        std::fputs("ran\n", log);
        std::fclose(log);
    }
    return 1;
}
