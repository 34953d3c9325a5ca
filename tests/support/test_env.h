#pragma once

// Called first by every test main: gives Qt a private runtime folder and the
// offscreen platform when there is no display, so tests never touch the
// user's session.
void prepareTestEnvironment();
