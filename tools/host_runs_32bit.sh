#!/usr/bin/env bash
# Exits 0 when this machine can run 32-bit x86 programs under Wine, 1 when
# it cannot. Some kernels boot with 32-bit emulation switched off; there the
# 32-bit Wine loader fails at once ("Exec format error"), whatever it runs.
exec /usr/lib/wine/wine --version >/dev/null 2>&1
