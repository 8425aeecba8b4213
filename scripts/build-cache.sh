# Sourced by the build scripts: every build tree of every clone on this machine compiles through
# one ccache, kept beside Qt for Windows (AMPELON_CACHE, default /var/cache/ampelon; a user who
# cannot write there gets ~/.cache/ampelon), so a fresh clone builds from the cache.
# Names are taken relative to the clone, so that clones in other folders share the cache.
cache_root=${AMPELON_CACHE:-/var/cache/ampelon}
if ! mkdir -p "$cache_root/ccache" 2>/dev/null || [[ ! -w $cache_root/ccache ]]; then
  cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/ampelon
  mkdir -p "$cache_root/ccache"
fi
export CCACHE_DIR=$cache_root/ccache
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
unset cache_root
compiler_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
