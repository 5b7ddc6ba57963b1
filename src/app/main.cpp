#include "app/MainApp.h"
#include "app/QtServices.h"

int main(int argc, char** argv) {
    if (const auto status = CMainApp::AnswerWithoutWindow(argc, argv)) {
        return *status;
    }
    CMainApp app(argc, argv);
    CQtServices services;
    return app.Run(services);
}
