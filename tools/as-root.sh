# How the scripts become root for apt-get: already root, through sudo, or
# through su (which asks for the root password); with neither, the caller says
# what to run instead. Decided once, before anything is built.
#
#   source tools/as-root.sh
#   root_method          prints root, sudo, su or none
#   as_root CMD [ARG...] runs the command as root the way KALVO_ROOT_METHOD
#                        (or else root_method) says

root_method() {
  if [ "$(id -u)" -eq 0 ]; then
    echo root
  elif command -v sudo >/dev/null; then
    echo sudo
  elif command -v su >/dev/null; then
    echo su
  else
    echo none
  fi
}

as_root() {
  case "${KALVO_ROOT_METHOD:-$(root_method)}" in
    root) "$@" ;;
    sudo) sudo "$@" ;;
    # su takes one command line: every word quoted for the shell that reads it.
    su) su root -c "$(printf '%q ' "$@")" ;;
    *)
      echo "Neither sudo nor su is installed; run this as root: $*" >&2
      return 1
      ;;
  esac
}
