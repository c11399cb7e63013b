# The cached route of the libraries built for 64-bit Windows from Debian's own source
# packages (sourced by scripts/build-qt-windows.sh and scripts/build-audio-windows.sh).
# Each build installs into a folder of the cache outside the checkout, named after what
# it builds and a key of its versions and options; a complete one is used as it is.
CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/wavelorn"

log() { echo "$(basename "$0" .sh): $*" >&2; }

# apt-get source needs the source indexes; a clean Debian 12 lists only the binary ones.
enable_sources() {
    if apt-cache showsrc "$1" 2>/dev/null | grep -q '^Package:'; then
        return
    fi
    log "enabling deb-src for bookworm"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo tee /etc/apt/sources.list.d/wavelorn-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $sudo apt-get update >&2
}

# open_cache NAME KEY: sets prefix (the install folder) and work (a scratch folder beside
# it), waiting for another run building the same; when the cache is complete, prints the
# prefix and ends the script.
open_cache() {
    prefix="$CACHE/$1-$2"
    work="$CACHE/work-$1-$2"
    mkdir -p "$CACHE"
    exec {cache_lock}>"$CACHE/.lock-$1"
    flock "$cache_lock"
    if [[ -f "$prefix/.complete" ]]; then
        echo "$prefix"
        exit 0
    fi
    rm -rf "$work" "$prefix"
    mkdir -p "$work/source"
}

# fetch_source PACKAGE VERSION: unpacks Debian's source of the package into the work
# folder and prints its folder.
fetch_source() {
    enable_sources "$1"
    log "fetching $1 $2"
    (cd "$work/source" && apt-get source -q "$1=$2" >"$work/source-$1.log" 2>&1) || {
        tail -20 "$work/source-$1.log" >&2
        exit 1
    }
    find "$work/source" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -1
}

# run_logged NAME COMMAND...: runs the step with its output in the work folder, showing
# the end of it (or its first errors) when it fails.
run_logged() {
    local name="$1"
    shift
    "$@" >"$work/$name.log" 2>&1 || {
        grep -B2 -A10 -m3 -E 'error|FAILED' "$work/$name.log" >&2 || tail -40 "$work/$name.log" >&2
        exit 1
    }
}

# close_cache VERSION: marks the cache complete, removes the work folder and prints the prefix.
close_cache() {
    echo "$1" >"$prefix/.complete"
    rm -rf "$work"
    echo "$prefix"
}
