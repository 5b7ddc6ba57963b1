# The Wine set-up the Windows tests share; sourced by scripts/test-windows.sh
# and scripts/test-package.sh. Sets WINEPREFIX and the rest for the Windows
# programs this shell starts; wine_up starts the server for them.
export WINEPREFIX=$PWD/build/windows/wineprefix
export WINEDEBUG=-all
# No dialogs offering to install .NET or a browser engine into the prefix,
# and no menu entries or file types of the prefix in the user's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine turns the arguments into UTF-16 through the locale: it must be UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# Makes the prefix when there is none (it is kept between runs) and starts
# one server and Wine's services, away from the callers' output: a service
# holding a command's stderr would delay each command by seconds. The server
# ends itself 10 s after its last program; wine_down ends it at once.
wine_up() {
    mkdir -p "$WINEPREFIX"
    wineserver -p10 >/dev/null 2>&1 </dev/null
    wine wineboot >/dev/null 2>&1 </dev/null
}
wine_down() {
    wineserver -k >/dev/null 2>&1 || true
}
