# shellcheck shell=bash
# Sourced: the registry key that holds each user's Vorn settings, the one
# place the scripts and the tests take it from.
# shellcheck disable=SC2034 # for the scripts that source this file
vorn_settings_key='HKCU\Software\Kervolan\Screensavers\Vorn'
