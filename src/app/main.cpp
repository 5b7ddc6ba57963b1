#include "app/MainApp.h"
#include "app/QtServices.h"

int main(int argc, char** argv) {
    CMainApp app(argc, argv);
    CQtServices services;
    return app.Run(services);
}
