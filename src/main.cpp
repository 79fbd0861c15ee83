#include "app/qt/CKelmoApp.h"

int main(int argc, char** argv) { return kelmo::CKelmoApp::Main(argc, argv); }
