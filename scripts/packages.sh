# Installs those of the Debian packages given that are not installed yet:
# sourced, then install_missing PACKAGE... (apt-get update first, once).
install_missing() {
  sudo_=""
  [ "$(id -u)" = 0 ] || sudo_=sudo
  missing=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
  done
  [ -n "$missing" ] || return 0
  echo "setup: installing$missing"
  if [ -z "${VORDA_APT_UPDATED:-}" ]; then
    $sudo_ apt-get update -qq
    export VORDA_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends $missing
}
