set(DEPS Threads::Threads PNG::PNG)
