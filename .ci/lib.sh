# SPDX-License-Identifier: MIT
# Shared by the CI stages: sourced, not run.
set -euo pipefail

# Installs the Debian packages that are missing, updating the lists once.
need_packages() {
  local missing=()
  for p in "$@"; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ -z "${BIGNUM_APT_UPDATED:-}" ]; then
    apt-get update -qq
    export BIGNUM_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# CI's start, shared by the stage scripts that .ci/run starts.
: "${BIGNUM_CI_START:=$(date +%s)}"
export BIGNUM_CI_START

# Ends the stage with a message on standard error.
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Prints a stage banner and the seconds since CI started.
stage() {
  echo
  echo "=== $* (at $(($(date +%s) - BIGNUM_CI_START))s)"
}
