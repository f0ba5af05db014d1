#!/usr/bin/env bash
# A parse check of the udev rule (Debian 12's udevadm has no "verify"): every
# line is a comma-separated list of KEY op "value" pairs that udev knows,
# matches use == or !=, assignments =, += or :=; both USB ids are tagged
# "uaccess" on hidraw, and nothing makes a node group- or world-writable.
set -euo pipefail
rule="${1:?usage: check-udev-rule.sh <rules file>}"
fail() { echo "udev rule $rule: $*" >&2; exit 1; }

n=0
declare -A tagged=()
while IFS= read -r line || [ -n "$line" ]; do
  n=$((n + 1))
  [[ "$line" =~ ^[[:space:]]*(#|$) ]] && continue
  rest="$line"
  subsystem="" product="" tag=""
  while [ -n "$rest" ]; do
    if [[ "$rest" =~ ^[[:space:]]*([A-Z_]+)(\{[A-Za-z0-9_.-]+\})?[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*\"([^\"]*)\"[[:space:]]*(,(.*))?$ ]]; then
      key="${BASH_REMATCH[1]}" attr="${BASH_REMATCH[2]}" op="${BASH_REMATCH[3]}" value="${BASH_REMATCH[4]}"
      rest="${BASH_REMATCH[6]}"
      [ -z "${BASH_REMATCH[5]}" ] && [ -n "$rest" ] && fail "line $n: missing comma"
    else
      fail "line $n: cannot parse '$rest'"
    fi
    case "$key" in
      ACTION|SUBSYSTEM|SUBSYSTEMS|KERNEL|KERNELS|DRIVER|DRIVERS|ATTR|ATTRS|ENV)
        [[ "$op" == "==" || "$op" == "!=" ]] || { [ "$key" = ENV ] || fail "line $n: $key takes == or !="; } ;;
      TAG|MODE|GROUP|OWNER|SYMLINK|RUN)
        [[ "$op" == "=" || "$op" == "+=" || "$op" == ":=" || "$op" == "-=" ]] || fail "line $n: $key is assigned, not compared" ;;
      *) fail "line $n: unknown key $key" ;;
    esac
    case "$key" in
      ATTR|ATTRS|ENV) [ -n "$attr" ] || fail "line $n: $key needs {name}" ;;
      *) [ -z "$attr" ] || fail "line $n: $key takes no {name}" ;;
    esac
    if [ "$key" = MODE ]; then
      [[ "$value" =~ ^0?[0-7]{3}$ ]] || fail "line $n: MODE \"$value\" is not octal"
      perms="${value: -2}"
      (( (8#${perms:0:1} & 2) == 0 && (8#${perms:1:1} & 2) == 0 )) || fail "line $n: MODE \"$value\" lets others write"
    fi
    [ "$key" = SUBSYSTEM ] && [ "$op" = "==" ] && subsystem="$value"
    [ "$key" = ATTRS ] && [ "$attr" = "{idProduct}" ] && product="$value"
    [ "$key" = ATTRS ] && [ "$attr" = "{idVendor}" ] && [ "$value" != 248a ] && fail "line $n: vendor $value"
    [ "$key" = TAG ] && [ "$value" = uaccess ] && tag=1
    [ "$key" = RUN ] && fail "line $n: the rule runs nothing"
  done
  [ "$subsystem" = hidraw ] && [ -n "$tag" ] && [ -n "$product" ] && tagged[$product]=1
done < "$rule"

for id in fa02 fb01; do
  [ -n "${tagged[$id]:-}" ] || fail "248a:$id is not tagged uaccess on hidraw"
done
echo "udev rule $rule: ok"
