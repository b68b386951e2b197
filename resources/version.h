#pragma once
// The release's version, once for the version resource and once as text;
// scripts/package.sh names the zip after the first two numbers.

#define VORN_VERSION 2, 1, 0, 0
#define VORN_VERSION_TEXT "2.1.0.0"
