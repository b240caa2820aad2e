// sousuo: a small web-search strip for the desktop.

#include "build_config.h"
#include "gtk/program.h"

int main() {
    sousuo::gtk::runProgram({sousuo::build::ContentBaseUrl, sousuo::build::SearchUrlPrefix});
}
